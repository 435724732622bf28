#!/usr/bin/env bash
# Mutation check of the native unit tests: applies single-line mutants to the
# portable core one at a time, rebuilds the unit tests and runs them, and
# records each mutant as killed (the tests fail), survived (they pass) or
# stillborn (it does not compile). Mutants that cannot change what the
# program does are marked as such; they are expected to survive.
#
#   scripts/mutate.sh [--jobs N] [--save FILE] [--compare FILE] [--details FILE] [--check] [ID ...]
#
# --jobs     parallel workers, each in a copy of the tree (default 2)
# --save     writes the results (one "ID result" line each) to FILE
# --compare  prints FILE's results beside this run's, as "before" and "after"
# --check    only checks that every mutant applies to the working tree
# --details  writes the tests that failed on each mutant to FILE
# ID ...     only these mutants (numbers as listed)
#
# The tree is copied to build/mutate/wN, so the working tree is never
# changed. Prints one table and a total; exits non-zero when a mutant that
# can change behaviour survived.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exec python3 - "$root" "$@" <<'PY'
import os, shutil, subprocess, sys, threading, queue

# (area, file, original text, mutated text[, why it cannot change behaviour])
# The original must occur exactly once in its file; it may carry a line of
# context, but each mutant changes one line.
MUTANTS = [
    ("directory", "device/directory.cpp", "(*p == '+' || *p == '-')) negative", "(*p == '+')) negative"),
    ("directory", "device/directory.cpp", "*value = static_cast<int32_t>(negative ? 0u - v : v);", "*value = static_cast<int32_t>(v);"),
    ("directory", "device/directory.cpp", "entry->name.size() <= kMaxDeviceName;", "entry->name.size() < kMaxDeviceName;"),
    ("directory", "device/directory.cpp", "while (p < end && *p == '\\n') ++p;", ";"),
    ("directory", "device/directory.cpp", "while (end > begin && IsBlank(static_cast<unsigned char>(end[-1]))) --end;", ";"),
    ("directory", "device/directory.cpp", "if (*p != '+') {", "if (*p != '+' && *p != ' ') {"),
    ("directory", "device/directory.cpp", "bool ok = status == 0 && Parse(", "bool ok = Parse("),
    ("directory", "device/directory.cpp", "|| !s.Literal(':') ||", "|| (s.SkipBlanks(), !s.Literal(':')) ||"),
    ("directory", "device/directory.cpp", "const char* end = stop ? stop : text + length;", "const char* end = text + length;"),
    ("item text", "filelist/item_text.cpp", "number.size() < 6) number.insert(0, 6 -", "number.size() < 5) number.insert(0, 5 -"),
    ("item text", "filelist/item_text.cpp", "return name.compare(other) > 0;", "return name.compare(other) >= 0;"),
    ("item text", "filelist/item_text.cpp", "EqualsIgnoreAsciiCase(fileName, name)) return true;", "fileName == name) return true;"),
    ("file list", "filelist/file_list.cpp", "    if (entry->name == kStartupName) order.push_back(&*entry);", "    if (EqualsIgnoreAsciiCase(entry->name, kStartupName)) order.push_back(&*entry);"),
    ("file list", "filelist/file_list.cpp", "list.SetTitle(std::string(kAppTitle) + \" - \" + listing.statusText);", "list.SetTitle(std::string(kAppTitle) + \" \" + listing.statusText);"),
    ("file list", "filelist/file_list.cpp", "    list.SetTitle(kAppTitle);", ";"),
    ("file list", "filelist/file_list.cpp", "files.size() == 1 ?", "files.size() > 1 ?"),
    ("file list", "filelist/file_list.cpp", "if (Show(question, kConfirmStyle) != IDYES) return;", "if (Show(question, kErrorStyle) != IDYES) return;"),
    ("file list", "filelist/file_list.cpp", "if (EqualsIgnoreAsciiCase(file.name, kStartupName) &&", "if (file.name == kStartupName &&"),
    ("file list", "filelist/file_list.cpp", "(answer = Show(kDeleteFailed, kRetryStyle)) == IDRETRY) {", "(answer = Show(kDeleteFailed, kRetryStyle)) == IDRETRY && false) {"),
    ("file list", "filelist/file_list.cpp", "      if (answer == IDABORT) break;", ";"),
    ("file list", "filelist/file_list.cpp", "if (list.ShiftOrCtrlDown()) return;", ";"),
    ("file list", "filelist/file_list.cpp", "entry && EqualsIgnoreAsciiCase(SplitDeviceName(entry->name).extension, \".pex\")", "entry && SplitDeviceName(entry->name).extension == \".pex\""),
    ("file list", "filelist/file_list.cpp", "  DisconnectDevice();\n  RefreshFileList(list);", "  DisconnectDevice();\n"),
    ("path util", "app/path_util.cpp", "(byte >= 0xe0 && byte <= 0xfc)", "(byte >= 0xe0 && byte <= 0xef)"),
    ("path util", "app/path_util.cpp", "      *nameStart = i + 1;\n      *lastDot = std::string::npos;", "      *nameStart = i + 1;\n"),
    ("path util", "app/path_util.cpp", "path[1] == ':' && !IsLeadByte(static_cast<unsigned char>(path[0]))", "path[1] == ':'",
     "':' is never the second byte of a double-byte character"),
    ("path util", "app/path_util.cpp", "    } else if (c >= 'A' && c <= 'Z') {\n      out[i] = static_cast<char>(c - 'A' + 'a');\n    }\n  }\n  return out;\n}\n\nstd::string LowerMultibyte",
     "    } else if (c >= 'A' && c < 'Z') {\n      out[i] = static_cast<char>(c - 'A' + 'a');\n    }\n  }\n  return out;\n}\n\nstd::string LowerMultibyte"),
    ("path util", "app/path_util.cpp", "    if (IsLeadByte(c) && i + 1 < out.size()) {\n      ++i;\n    } else if", "    if (IsLeadByte(c) && i + 1 < out.size()) {\n    } else if"),
    ("path util", "app/path_util.cpp", "code <= 0x8279) lower", "code <= 0x8278) lower"),
    ("path util", "app/path_util.cpp", "lower = code + 0x30;", "lower = code + 0x31;"),
    ("path util", "app/path_util.cpp", "return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);", "return LowerAscii(a) == LowerAscii(b);",
     "lowering keeps the length"),
    ("path util", "app/path_util.cpp", "    if (c == '\\\\' || c == '/') {\n      *nameStart", "    if (c == '\\\\') {\n      *nameStart"),
    ("path util", "app/path_util.cpp", "if (deviceText && IsLeadByte(c) && i + 1 < path.size()) {", "if (IsLeadByte(c) && i + 1 < path.size()) {"),
    ("path util", "app/path_util.cpp", "if (folder.empty() || folder.back() == '\\\\' || folder.back() == '/') return folder + name;", "if (folder.empty() || folder.back() == '\\\\') return folder + name;"),
    ("path util", "app/path_util.cpp", "std::string(\"\\\\/:*?\\\"<>|\")", "std::string(\"\\\\/*?\\\"<>|\")"),
    ("path util", "app/path_util.cpp", "if (part == \".\" && end < name.size()) continue;", "if (part == \".\") continue;"),
    ("path list", "app/path_list.cpp", "    if (!path.empty()) list.push_back(path);", "    list.push_back(path);"),
    ("path list", "app/path_list.cpp", "      if (*p == '\"') ++p;\n    } else {", "    } else {"),
    ("path list", "app/path_list.cpp", "    while (*p > ' ') ++p;", "    while (*p >= ' ') ++p;"),
    ("path list", "app/path_util.h", "return c == ' ' || (c >= '\\t' && c <= '\\r');", "return c == ' ' || (c >= '\\t' && c < '\\r');"),
    ("settings store", "app/settings_store.cpp", "count = kLruSaveLimit;", "count = kLruSaveLimit - 1;"),
    ("settings store", "app/settings_store.cpp", "if (name.empty() || EqualsIgnoreAsciiCase(name, \"startup.pex\")) continue;", "if (name.empty()) continue;"),
    ("settings store", "app/settings_store.cpp", "LruList.push_back(LowerMultibyte(name));", "LruList.push_back(LowerAscii(name));"),
    ("settings store", "app/settings_store.cpp", "p.ProfileInt(kConfig, \"warnoverwr\", 1) != 0;", "p.ProfileInt(kConfig, \"warnoverwr\", 0) != 0;"),
    ("settings store", "app/settings_store.cpp", "{\"openfolder\", Flag(AppSettings.openfolder)},", "{\"openfolder\", Flag(AppSettings.warnoverwr)},"),
    ("settings store", "app/settings_store.cpp", "if (written == kLruSaveLimit) break;", "if (written > kLruSaveLimit) break;"),
    ("settings store", "app/settings_store.cpp", "WriteInt(kLru, \"count\", static_cast<int>(written));", "WriteInt(kLru, \"count\", static_cast<int>(LruList.size()));"),
    ("lru", "transfer/lru.cpp", "  if (IsStartup(name)) return;", ";"),
    ("lru", "transfer/lru.cpp", "if (found != LruList.end()) LruList.erase(found);", ";"),
    ("lru", "transfer/lru.cpp", "    if (IsStartup(entry.name)) continue;", ";",
     "the removal step takes startup.pex off the list again"),
    ("lru", "transfer/lru.cpp", "if (std::find(LruList.begin(), LruList.end(), entry.name) == LruList.end())", "if (std::find(LruList.begin(), LruList.end(), entry.name) != LruList.end())"),
    ("lru", "transfer/lru.cpp", "if (EqualsIgnoreAsciiCase(entry.name, name)) return false;", "if (entry.name == name) return false;"),
    ("swap-out", "transfer/lru.cpp", "if (AppSettings.openfolder && !folderOpened) {", "if (AppSettings.openfolder) {"),
    ("swap-out", "transfer/lru.cpp", "      folderOpened = true;", ";"),
    ("swap-out", "transfer/lru.cpp", "    if (!writing.empty() && platform.SameFile(swapPath, writing)) continue;", ";"),
    ("swap-out", "transfer/lru.cpp", " || !HostPathBelow(hostName, false, &key)) continue;", ") continue;"),
    ("swap-out", "transfer/lru.cpp", "if (Utf16Length(swapPath) > kMaxHostPath) continue;", "if (Utf16Length(swapPath) > kMaxHostPath + 1) continue;"),
    ("swap-out", "transfer/lru.cpp", "if (AppSettings.warnoverwr && platform.PathExists(swapPath) &&", "if (platform.PathExists(swapPath) &&"),
    ("swap-out", "transfer/lru.cpp", "MB_YESNO | MB_ICONQUESTION) != IDYES)", "MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)"),
    ("swap-out", "transfer/lru.cpp", "return ReadToHost(name, fresh, bytes) == 0 && platform.FileSize(fresh) == bytes;", "return ReadToHost(name, fresh, bytes) == 0;"),
    ("swap-out", "transfer/lru.cpp", "if (ismPFFSDelete(name.c_str()) == 0) return true;", "if (ismPFFSDelete(name.c_str()) == 0 || true) return true;"),
    ("transfer list", "transfer/transfer_list.cpp", "if (c == EOF || c == kCtrlZ) {", "if (c == EOF) {"),
    ("transfer list", "transfer/transfer_list.cpp", "if (next == '\\n') return '\\n';", "if (next == 'x') return '\\n';",
     "a CR kept before a LF is a trailing blank, which the line rules cut"),
    ("transfer list", "transfer/transfer_list.cpp", "while (piece.size() < kListPieceBytes) {", "while (piece.size() <= kListPieceBytes) {"),
    ("transfer list", "transfer/transfer_list.cpp", "if (zero != std::string::npos) piece.resize(zero);", ";"),
    ("transfer list", "transfer/transfer_list.cpp", "while (!piece.empty() && IsBlank(", "while (piece.size() > 1 && IsBlank("),
    ("transfer list", "transfer/transfer_list.cpp", "      if (c == '\\n') break;", ";"),
    ("transfer", "device/library_path.cpp", "return status == kPieceFlashFull || status == kPieceFlashFullAlt;", "return status == kPieceFlashFull;"),
    ("transfer", "transfer/transfer.cpp", "if (IsBlank(static_cast<unsigned char>(c))) return true;", "if (c == ' ') return true;"),
    ("transfer", "transfer/transfer.cpp", "Utf16Length(hostPath) > kMaxHostPath) return kHostPathTooLong;", "Utf16Length(hostPath) >= kMaxHostPath) return kHostPathTooLong;"),
    ("transfer", "transfer/transfer.cpp", "const std::string name = LowerAscii(fileName);", "const std::string name = fileName;"),
    ("transfer", "transfer/transfer.cpp", "if (AppSettings.mode && IsFlashFull(status)) {", "if (AppSettings.mode) {"),
    ("transfer", "transfer/transfer.cpp", "if (SwapOutOne(folderOpened_, deviceSizes_, hostPath, moving)) {", "if (SwapOutOne(folderOpened_, deviceSizes_, std::string(), moving)) {"),
    ("transfer", "transfer/transfer.cpp", "IsFlashFull(status) ? kNoRoom : kWriteFailed", "IsFlashFull(status) ? kWriteFailed : kNoRoom"),
    ("transfer", "transfer/transfer.cpp", "    return answer == IDIGNORE ? Next::kCarryOn : Next::kStop;\n  }\n}", "    return answer == IDIGNORE ? Next::kCarryOn : Next::kCarryOn;\n  }\n}"),
    ("transfer", "transfer/transfer.cpp", "    if (answer == IDRETRY) continue;\n    std::string name;", "    std::string name;"),
    ("transfer", "transfer/transfer.cpp", "? HostFolder(listPath) + hostLine : std::string();", "? hostLine : std::string();"),
    ("transfer", "transfer/transfer.cpp", "WriteOneFile(line, ListedPath(listPath, line)) == Next::kStop) return Next::kStop;", "WriteOneFile(line, ListedPath(listPath, line)) == Next::kStop && false) return Next::kStop;"),
    ("transfer", "transfer/transfer.cpp", "{ return FoldHostCase(SplitHostPath(path).extension) == kListExtension; }", "{ return SplitHostPath(path).extension == kListExtension; }"),
    ("transfer", "transfer/transfer.cpp", "  if (paths.empty()) return {};", ";"),
    ("transfer", "transfer/transfer.cpp", "      MarkRecentlyUsed(name);", ";"),
    ("launcher", "device/launcher.cpp", "i + kLauncherNameFieldSize <= image.size(); ++i)", "i + kLauncherNameFieldSize < image.size(); ++i)"),
    ("launcher", "device/launcher.cpp", "  memset(field, 0, kLauncherNameFieldSize);", ";"),
    ("launcher", "device/launcher.cpp", "if (section.offset == 0 || section.size == 0) continue;", "if (section.offset == 0 && section.size == 0) continue;"),
    ("launcher", "device/launcher.cpp", "    if (!visited.insert(header).second) return false;", ";"),
    ("launcher", "device/launcher.cpp", "if (name.size() >= kLauncherNameFieldSize) {", "if (name.size() > kLauncherNameFieldSize) {"),
    ("launcher", "device/launcher.cpp", "if (written && ismAppStart() != 0)", "if (ismAppStart() != 0)"),
    ("launcher", "device/launcher.cpp", "section.address = BigEndian32(image, header + kAddressOffset);", "section.address = BigEndian32(image, header + kAddressOffset + 4);"),
    ("launcher", "device/launcher.cpp", "constexpr size_t kDataSize = 38;", "constexpr size_t kDataSize = 36;"),
    ("beep", "device/beep.cpp", "static_cast<uint32_t>(kSoundBlockSize)) & ~3u;", "static_cast<uint32_t>(kSoundBlockSize)) & ~1u;"),
    ("beep", "device/beep.cpp", "PutLittleEndian32(block, 4, address + 20);", "PutLittleEndian32(block, 4, address + 24);"),
    ("beep", "device/beep.cpp", "(101600 - 127 * i) / 800", "(101600 - 128 * i) / 800"),
    ("beep", "device/beep.cpp", "halfPeriod % 2 == 0 ? 127 + amplitude : 127 - amplitude", "halfPeriod % 2 == 0 ? 127 - amplitude : 127 + amplitude"),
    ("beep", "device/beep.cpp", "if ((state & 3) == 1) return true;", "if ((state & 1) == 1) return true;"),
    ("beep", "device/beep.cpp", "if (platform.TickCount() - start >= kTimeoutMs) return false;", "if (platform.TickCount() - start >= 2 * kTimeoutMs) return false;"),
    ("beep", "device/beep.cpp", "    ThePlatform().Sleep(kFirstPlayWaitMs);", ";"),
    ("beep", "device/beep.cpp", "!= 0 || value == 0) return;", "!= 0 || value == 1) return;"),
    ("beep", "device/beep.cpp", "    ismWriteMem(saved.data(), address, kSoundBlockSize);\n}", "    ;\n}"),
    ("beep", "device/beep.cpp", "  if (!AppSettings.beep) return;", ";"),
    ("beep", "device/beep.cpp", "if (SetAppPaused(0) != 0) SetAppPaused(0);", "SetAppPaused(0);"),
    ("beep", "device/beep.cpp", "LittleEndian32(version + kMemoryTopOffset)", "LittleEndian32(version + 16)"),
    ("connection", "device/connection.cpp", "  ismExit();   // a connection left open", "  ;   // a connection left open"),
    ("connection", "device/connection.cpp", "  if (deviceIndex == 0) return false;", ";"),
    ("connection", "device/connection.cpp", "  deviceIndex = 0;", ";"),
    ("connection", "device/connection.cpp", "return ismExit() == 0 || ismExit() == 0;", "return ismExit() == 0;"),
    ("connection", "device/connection.cpp", "static_cast<uint8_t>(value >> 24)};", "static_cast<uint8_t>(value >> 16)};"),
    ("connection", "device/connection.cpp", "*result = static_cast<int16_t>(static_cast<uint16_t>(", "*result = (static_cast<uint16_t>("),
    ("connection", "device/connection.cpp", "if (state) *state = buffer[0];", "if (state) *state = buffer[1];"),
    ("connection", "device/connection.cpp", "static_cast<uint32_t>(buffer[11]) << 24;", "static_cast<uint32_t>(buffer[11]) << 16;"),
    ("connection", "device/connection.cpp", "uint8_t command[2] = {0x10, flag};", "uint8_t command[2] = {0x11, flag};"),
    ("pause", "pause/pause_device.cpp", "  if (SetAppPaused(1) != 0) {", "  if (SetAppPaused(0) != 0) {"),
    ("pause", "pause/pause_device.cpp", "  DisconnectDevice();\n  showWindow();", "  ;\n  showWindow();"),
    ("pause", "pause/pause_device.cpp", "if (SetAppPaused(0) != 0) ShowError(kControlError);", "SetAppPaused(0);"),
    ("pause", "pause/pause_device.cpp", "  showWindow();\n  if (!ConnectDevice()) {\n    ShowError(kCannotConnect);\n    return;", "  showWindow();\n  if (!ConnectDevice()) {\n    ShowError(kCannotConnect);\n    ;"),
    ("pause", "pause/pause_blink.cpp", "case 3: return \"\";", "case 2: return \"\";"),
    ("pause", "pause/pause_blink.cpp", "switch (count % 4) {", "switch (count % 5) {"),
    ("read-out", "readout/host_names.cpp", "&& HostPathBelow(file.hostPath, flat, &key);", "&& (key = file.hostPath, true);"),
    ("read-out", "readout/host_names.cpp", "  if (platform.SameFileName(a, b)) return true;", "  if (a == b) return true;"),
    ("read-out", "readout/read_out.cpp", "if (!FitsPathBuffer(folderLength + Utf16Length(file.hostPath))) {", "if (!FitsPathBuffer(folderLength + Utf16Length(file.hostPath) - 1)) {"),
    ("read-out", "readout/read_out.cpp", "return length < kHostPathBuffer;", "return length <= kHostPathBuffer;"),
    ("read-out", "readout/read_out.cpp", "if (ReadToHost(deviceNames_[i], tempPaths_[i], sizes_[i]) != 0) {", "if (ReadToHost(DeviceFileName(deviceNames_[i]), tempPaths_[i], sizes_[i]) != 0) {"),
    ("read-out", "readout/read_out.cpp", "  platform.RemoveFolder(folder_.substr(0, folder_.size() - 1));", ";"),
    ("read-out", "readout/read_out.cpp", "    errorText_ = kCannotConnect;", "    errorText_ = kReadFailed;"),
    ("read-out", "readout/read_out.cpp", "      errorText_ = kReadFailed;\n      DisconnectDevice();", "      errorText_ = kReadFailed;\n      ;"),
    ("drop list", "readout/drop_list.cpp", "block.insert(block.end(), wide ? 2 : 1, 0);", "block.insert(block.end(), 1, 0);"),
    ("drop list", "readout/drop_list.cpp", "block[0] = static_cast<uint8_t>(kDropListHeaderSize);", "block[4] = static_cast<uint8_t>(kDropListHeaderSize);"),
    ("drop list", "readout/drop_list.cpp", "      block.push_back(0);\n      continue;", "      continue;"),
    ("drop list", "readout/drop_list.cpp", "    block.insert(block.end(), 2, 0);", "    block.insert(block.end(), 1, 0);"),
    ("file types", "settings/file_types.cpp", "return \"\\\"\" + programPath + \"\\\" \\\"%1\\\"\";", "return \"\\\"\" + programPath + \"\\\" %1\";"),
    ("file types", "settings/file_types.cpp", "if (i < text.size() && (text[i] == '+' || text[i] == '-')) {", "if (i < text.size() && text[i] == '-') {"),
    ("file types", "settings/file_types.cpp", "  if (n > INT_MAX) return INT_MAX;", ";"),
    ("file types", "settings/file_types.cpp", "  if (!WriteOpenCommand(host)) return false;", "  WriteOpenCommand(host);"),
    ("file types", "settings/file_types.cpp", "if (!deleted || !unregistered) return false;", "if (!deleted) return false;"),
    ("file types", "settings/file_types.cpp", "  host.SetValue(key, kIconSizeValue, original);", ";"),
    ("file types", "settings/file_types.cpp", "    host.DeleteValue(choice, kUserChoiceValue);", ";"),
    ("file types", "settings/file_types.cpp", "} else if (status != 0) {", "} else if (status < 0) {"),
    ("file types", "settings/file_types.cpp", "  host.FreeLibraryFile(library);", ";"),
    ("file types", "settings/file_types.cpp", "  host.DeleteKey(RegistryRoot::kClassesRoot, kCommandKey);", "  host.DeleteKey(RegistryRoot::kClassesRoot, kShellKey);"),
    ("file types", "settings/file_types.cpp", "(\") + programFolder +", "(\") + systemFolder +"),
    ("text kinds", "transfer/transfer.cpp", "DeviceText(parts.name + parts.extension, &name) ? name : \"\"", "DeviceText(parts.name + parts.extension, &name) ? name : parts.name + parts.extension"),
    ("text kinds", "transfer/transfer.cpp", "return ThePlatform().HostText(line, &hostLine) ? HostFolder", "return (hostLine = line, true) ? HostFolder"),
    ("text kinds", "transfer/lru.cpp", "|| !platform.HostText(name, &hostName) ||", "|| !(hostName = name, true) ||"),
    ("text kinds", "app/settings_store.cpp", "FileKey(written).c_str(), HostTextOf(name));", "FileKey(written).c_str(), name);"),
    ("text kinds", "filelist/item_text.cpp", "ThePlatform().DeviceText(HostFileName(path), &fileName) && EqualsIgnoreAsciiCase(fileName, name)", "EqualsIgnoreAsciiCase(HostFileName(path), name)"),
    ("text kinds", "readout/drop_list.cpp", "wide = wide || !ThePlatform()", "wide = !ThePlatform()"),
    ("text kinds", "device/library_path.cpp", "if (!stage.Make() || !ThePlatform().CopyFile(hostPath, stage.path())) return kNoHostPath;", "if (!stage.Make()) return kNoHostPath;"),
    ("text kinds", "device/library_path.cpp", "if (status == 0 && !stage.file->MoveTo(hostPath)) return kNoHostPath;", "if (status == 0) stage.file->MoveTo(hostPath);"),
    ("text kinds", "app/platform.cpp", "  ThePlatform().RemoveFile(path_);", ";"),
    ("text kinds", "app/platform.cpp", "    if (p.CreateNewFile(path)) {", "    if ((p.CreateNewFile(path), true)) {"),
    ("text kinds", "device/library_path.cpp", "(!usable(folder) && !usable(folder = p.ShortPath(folder)))", "(!usable(folder) && !p.LibraryPath(p.ShortPath(folder), &ansiFolder))"),
    ("library", "device/pieceif_functions.cpp", "return {name, \"_\" + name + bytes, name + bytes, \"_\" + name};", "return {name, name + bytes, \"_\" + name + bytes, \"_\" + name};"),
    ("library", "device/pieceif_functions.cpp", "        names[i] = name;\n        break;", "        names[i] = name;\n        ;"),
    ("library", "device/pieceif_functions.cpp", "    if (!addresses[i]) return i;", ";"),
    ("launcher", "device/launcher.cpp", "if (IsSimulatorLauncher(copy, sections) && !DeviceIsSimulator()) {", "if (false) {"),
    ("launcher", "device/launcher.cpp", "memcmp(record + kSimulatorTagOffset, kSimulatorTag, 8) == 0;", "true;"),
    ("launcher", "device/launcher.cpp", "  return !sections.empty() && sections[0].size >= tag &&", "  return false &&"),
    ("launcher", "device/launcher.cpp", "    if (uint64_t(s.address) + s.size > (uint64_t(1) << 32)) return false;", ";"),
    ("launcher", "device/launcher.cpp", "    named = named || (", "    named = true || ("),
    ("launcher", "device/launcher.cpp", "? ReadLauncherFile(file, &image) && LauncherFileUsable(image)", "? ReadLauncherFile(file, &image)"),
    ("launcher", "device/launcher.cpp", "return !image->empty() && image->size() <= kMaxLauncherFile;", "return !image->empty();"),
    ("transfer", "transfer/transfer.cpp", "                 if (TheOperations().StopRequested()) return Next::kStop;", ";"),
    ("transfer", "transfer/transfer.cpp", "if (TheOperations().StopRequested() || WriteOneFile(", "if (WriteOneFile("),
    ("transfer", "transfer/transfer.cpp", "moving)) {\n        if (TheOperations().StopRequested()) return Next::kStop;", "moving)) {\n        ;"),
    ("transfer", "transfer/transfer.cpp", "if (index_ > 0 && index_ <= sizes_.size()) bytesDone_ += sizes_[index_ - 1];", ";"),
    ("transfer", "transfer/transfer.cpp", "    while (list.NextLine(&line)) Count(ListedPath(path, line), true);", ";"),
    ("read-out", "readout/read_out.cpp", "    done += sizes_[i];", ";"),
    ("operations", "app/operations.cpp", "  bool busy = now.running || now.waiting;", "  bool busy = now.running;"),
    ("operations", "app/operations.cpp", "return now.sessionEnding ? Admission::kDrop : busy ? Admission::kQueue : Admission::kRun;", "return busy ? Admission::kQueue : Admission::kRun;"),
    ("operations", "app/operations.cpp", "  if (current_) return;\n  while", "  while"),
    ("operations", "app/operations.cpp", "  if (Admit(State(), Arrival::kClose) == Admission::kRun) AfterRun();", "  AfterRun();"),
    ("operations", "app/operations.cpp", "    if (request.kind->mayWrite) return true;", ";"),
    ("commands", "filelist/commands.cpp", "bool any = binding.modifiers == kAnyModifiers && !(modifiers & kAlt);", "bool any = binding.modifiers == kAnyModifiers;"),
    ("commands", "filelist/commands.cpp", "case Needs::kOneSelected: return state.selected == 1;", "case Needs::kOneSelected: return state.selected >= 1;"),
    ("commands", "filelist/commands.cpp", "case Needs::kClipboardFiles: return state.clipboardHasFiles;", "case Needs::kClipboardFiles: return true;"),
    ("saving", "readout/save_files.cpp", "    if (answer == IDNO) return Next::kSkip;", ";"),
    ("saving", "app/platform.cpp", "fill(fresh->path()) && fresh->MoveTo(path);", "fill(fresh->path()) && (fresh->MoveTo(path), true);"),
    ("saving", "app/platform.cpp", "    if (*path == inUse) continue;", ";"),
    ("saving", "readout/save_files.cpp", "  bool complete = end == SaveEnd::kAll && placement.refused.empty();", "  bool complete = end == SaveEnd::kAll;"),
    ("rename", "filelist/rename.cpp", "(listed = ListedSize(listing, oldName)) < 0 || ListedSize(listing, newName) != listed", "(listed = ListedSize(listing, oldName)) < 0"),
    ("rename", "filelist/rename.cpp", "name.size() > kMaxDeviceName ||", "name.size() >= kMaxDeviceName ||"),
    ("rename", "filelist/rename.cpp", "  if (name == oldName) return NewName::kUnchanged;", ";"),
    ("rename", "filelist/rename.cpp", "  if (Listed(list, newName) && Show(", "  if (false && Show("),
    ("rename", "filelist/rename.cpp", "  if (typed == shown) return NewName::kUnchanged;", ";"),
    ("rename", "transfer/lru.cpp", "    *found = newName;", "    LruList.erase(found), LruList.push_back(newName);"),
    # A stop that is ignored.
    ("stop", "readout/save_files.cpp", "    if (TheOperations().StopRequested()) {\n      end = SaveEnd::kStopped;", "    if (false) {\n      end = SaveEnd::kStopped;"),
    ("stop", "readout/read_out.cpp", "\"読み出しました\", &saved) != SaveEnd::kStopped)", "\"読み出しました\", &saved) != SaveEnd::kNoConnection)"),
    ("stop", "app/operations.cpp", "  stop_ = true;\n  return true;", "  ;\n  return true;"),
    ("stop", "app/operations.cpp", "return now.running && now.stoppable ? Admission::kRun", "return now.running ? Admission::kRun"),
    ("stop", "readout/save_files.cpp", "did && end != SaveEnd::kStopped ?", "did ?"),
    ("stop", "app/operations.cpp", "const OperationKind kWrite{\"書き込み中\", true, true, true};", "const OperationKind kWrite{\"書き込み中\", true, false, true};"),
    ("stop", "app/operations.cpp", "const OperationKind kRead{\"読み出し中\", false, true, true};", "const OperationKind kRead{\"読み出し中\", false, false, true};"),
    ("stop", "transfer/transfer.cpp", "if (TheOperations().StopRequested() || transfer.WriteOneFile(file.deviceName", "if (transfer.WriteOneFile(file.deviceName"),
    # A writes flag that is wrong, or declared at the wrong time.
    ("writes", "device/pieceif_functions.h", "{\"ismPFFSDelete\", 4, true}", "{\"ismPFFSDelete\", 4, false}"),
    ("writes", "device/pieceif_functions.h", "{\"ismWriteMem\", 12, true}", "{\"ismWriteMem\", 12, false}"),
    ("writes", "device/pieceif_functions.h", "{\"ismCmdW\", 16, true}", "{\"ismCmdW\", 16, false}"),
    ("writes", "device/pieceif_functions.h", "{\"ismAppStop\", 0, true}", "{\"ismAppStop\", 0, false}"),
    ("writes", "device/pieceif_functions.h", "{\"ismPFFSWrite\", 8, true}", "{\"ismPFFSWrite\", 8, false}"),
    ("writes", "device/pieceif_functions.h", "{\"ismPFFSRead\", 8, false}", "{\"ismPFFSRead\", 8, true}"),
    ("writes", "app/operations.cpp", "if (kPieceFunctions[call.function].changesDevice && !writes_) {", "if (!writes_) {"),
    ("writes", "app/operations.cpp", "  if (current_ && writes_) return true;", "  if (current_) return true;"),
    ("writes", "app/operations.cpp", "const OperationKind kWrite{\"書き込み中\", true, true, true};", "const OperationKind kWrite{\"書き込み中\", false, true, true};"),
    ("writes", "app/operations.cpp", "  writes_ = called_ = stop_ = false;", "  called_ = stop_ = false;"),
    # A question skipped, or its No not taken.
    ("questions", "filelist/rename.cpp", "EqualsIgnoreAsciiCase(oldName, kStartupName) && Show(", "EqualsIgnoreAsciiCase(oldName, kStartupName) && false && Show("),
    ("questions", "filelist/rename.cpp", "Show(kStartupWriteQuestion, kConfirmStyle) != IDYES) return;", "Show(kStartupWriteQuestion, kConfirmStyle) == IDCANCEL) return;"),
    ("questions", "filelist/rename.cpp", "Show(newName + kAlreadyThere, kConfirmStyle) != IDYES) return;", "Show(newName + kAlreadyThere, kConfirmStyle) == IDCANCEL) return;"),
    ("questions", "readout/save_files.cpp", "if (ask && ThePlatform().PathExists(file.hostPath)) {", "if (ask && ThePlatform().PathExists(file.deviceName)) {"),
    ("questions", "readout/save_files.cpp", "    if (answer != IDYES) return Next::kStop;", ";"),
    ("questions", "readout/save_files.cpp", "complete = !ThePlatform().PathExists(path) || Show(", "complete = true || Show("),
    ("questions", "readout/host_names.cpp", "Show(text, ask ? MB_OKCANCEL | MB_ICONEXCLAMATION : kErrorStyle)", "Show(text, kErrorStyle)"),
    ("questions", "readout/save_files.cpp", "if (!entries.empty() && GoOnWithout(placement.refused, true)) SaveFiles", "if (!entries.empty()) SaveFiles"),
    ("questions", "readout/save_files.cpp", "  if (!GoOnWithout(placement.refused, true)) return;", ";"),
    ("questions", "filelist/file_list.cpp", "if (AskToWriteAgain(shortOnes))", "if (!shortOnes.empty())"),
    ("questions", "transfer/transfer.cpp", "static_cast<uint64_t>(entry.size < 0 ? 0 : entry.size) < file.size) {", "static_cast<uint64_t>(entry.size < 0 ? 0 : entry.size) <= file.size) {"),
    # A check made on the wrong form of a name.
    ("names", "readout/host_names.cpp", "if (platform.SameFileName(file, path.substr(0, at))) return true;", "if (file == path.substr(0, at)) return true;"),
    ("names", "readout/host_names.cpp", "ok = ok && !Clash(other, key);", "ok = ok && other != key;"),
    ("names", "readout/host_names.cpp", "at = path.find('\\\\', at + 1))", "at = path.find('/', at + 1))"),
    ("names", "readout/save_files.cpp", "PlaceFiles(entries, folder, false, {kBackupList});", "PlaceFiles(entries, folder, false);"),
    ("names", "filelist/rename.cpp", "    if (entry.name == name) return entry.size;", "    if (EqualsIgnoreAsciiCase(entry.name, name)) return entry.size;"),
    ("names", "filelist/rename.cpp", "if (list.Entry(i)->name == name) return list.Entry(i);", "if (EqualsIgnoreAsciiCase(list.Entry(i)->name, name)) return list.Entry(i);"),
    ("names", "filelist/rename.cpp", "  name = LowerAscii(name);", ";"),
    ("names", "filelist/rename.cpp", "  if (name == oldName) return NewName::kUnchanged;", "  if (EqualsIgnoreAsciiCase(name, oldName)) return NewName::kUnchanged;"),
    ("names", "filelist/rename.cpp", "!CanBeFileName(typed))", "!CanBeFileName(name))"),
    ("names", "transfer/transfer.cpp", "if (entry.name == file.deviceName &&", "if (EqualsIgnoreAsciiCase(entry.name, file.deviceName) &&"),
    ("names", "filelist/commands.cpp", "return state.focusedProgram && state.focusedSelected;", "return state.focusedProgram;"),
    # What the report, the trace and the progress window say.
    ("report", "device/library_call.cpp", "  if (recent.size() == kCallsKept) recent.pop_front();", "  if (recent.size() > kCallsKept) recent.pop_front();"),
    ("report", "device/library_call.cpp", "(underWay && recent.size() == kCallsKept ? 1 : 0)", "(0)"),
    ("report", "device/library_call.cpp", "(millisecond < 100 ? \"0\" : \"\")", "\"\""),
    ("report", "device/library_call.cpp", "HostTextOf(reinterpret_cast<const char*>(word))", "std::string(reinterpret_cast<const char*>(word))"),
    ("report", "device/trace_log.cpp", "  if (!failed_ || reported_) return;", "  if (!failed_) return;"),
    ("report", "device/trace_log.cpp", "    platform.MoveFile(path_, HostFolder(path_) + \"Quillet.old.log\");", "    platform.RemoveFile(path_);"),
    ("progress", "app/progress.cpp", "if (elapsedMs < 2000 || done == 0", "if (elapsedMs < 1000 || done == 0"),
    ("progress", "app/progress.cpp", "Number((done + 1023) / 1024)", "Number(done / 1024)"),
    ("progress", "app/progress.cpp", "  if (tried < 2 || leftOut.empty()) return \"\";", "  if (leftOut.empty()) return \"\";"),
    ("progress", "app/progress.cpp", "(secondsText.size() < 2 ? \"0\" : \"\")", "\"\""),
    ("window place", "app/window_place.cpp", "std::max(std::min(r.left, work.right - width), work.left)", "std::max(r.left, work.left)"),
    ("window place", "app/window_place.cpp", "if (work.left < r.right && r.left < work.right", "if (work.left <= r.right && r.left <= work.right"),
]

args = sys.argv[1:]
root = args.pop(0)
jobs, save, compare, only, check, details = 2, None, None, set(), False, None
while args:
    a = args.pop(0)
    if a == "--jobs": jobs = int(args.pop(0))
    elif a == "--save": save = args.pop(0)
    elif a == "--compare": compare = args.pop(0)
    elif a == "--check": check = True
    elif a == "--details": details = args.pop(0)
    elif a.isdigit(): only.add(int(a))
    else: sys.exit("usage: scripts/mutate.sh [--jobs N] [--save FILE] [--compare FILE] [--details FILE] [--check] [ID ...]")

chosen = [(i, m) for i, m in enumerate(MUTANTS, 1) if not only or i in only]
if check:   # every original occurs once in the working tree
    bad = [(i, m[1]) for i, m in chosen
           if open(os.path.join(root, m[1]), encoding="utf-8").read().count(m[2]) != 1]
    for i, f in bad: print("#%d does not match exactly once in %s" % (i, f))
    sys.exit(1 if bad else 0)
work = os.path.join(root, "build", "mutate")

killers = {}   # mutant -> the tests that failed on it

def run(cmd, cwd, timeout=None, mutant=None):
    try:
        p = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout)
        if mutant:
            killers[mutant] = sorted({l.split()[3] for l in p.stdout.decode(errors="replace").splitlines()
                                      if l.startswith("[  FAILED  ]") and len(l.split()) > 3 and "." in l.split()[3]})
        return p.returncode
    except subprocess.TimeoutExpired:
        if mutant: killers[mutant] = ["(time-out)"]
        return "timeout"

def copy_tree(dest):
    # The copy holds the working tree's files and nothing else; unchanged
    # files keep their times, so a second run builds only what changed. A
    # changed file gets the time of the copy: its own may be older than the
    # objects built from the file it replaces.
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=root,
                            capture_output=True, check=True).stdout.decode().split("\0")
    files = {f for f in listed if f and not f.startswith("build/") and os.path.isfile(os.path.join(root, f))}
    for here, _, names in os.walk(dest):
        for name in names:
            f = os.path.relpath(os.path.join(here, name), dest)
            if f not in files: os.remove(os.path.join(dest, f))
    for f in files:
        src, dst = os.path.join(root, f), os.path.join(dest, f)
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        if not os.path.exists(dst) or open(src, "rb").read() != open(dst, "rb").read():
            shutil.copyfile(src, dst)

def prepare(n):
    src = os.path.join(work, "w%d" % n, "src")
    build = os.path.join(work, "w%d" % n, "build")
    copy_tree(src)
    if run(["cmake", "-S", src, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], src) != 0 or \
       run(["cmake", "--build", build, "--target", "unit_tests", "-j1"], src) != 0:
        print("mutate: the unmutated unit tests do not build in %s" % build, file=sys.stderr)
        os._exit(2)
    if run([os.path.join(build, "tests", "unit_tests")], build, 600) != 0:
        print("mutate: the unmutated unit tests fail in %s" % build, file=sys.stderr)
        os._exit(2)
    return src, build

def mutate(i, m, src, build):
    area, path, original, mutated = m[:4]
    full = os.path.join(src, path)
    text = open(full, encoding="utf-8").read()
    if text.count(original) != 1:
        return "no match"
    open(full, "w", encoding="utf-8").write(text.replace(original, mutated))
    try:
        if run(["cmake", "--build", build, "--target", "unit_tests", "-j1"], src) != 0:
            return "stillborn"
        status = run([os.path.join(build, "tests", "unit_tests")], build, 180, i)
        return "survived" if status == 0 else "killed"
    finally:
        open(full, "w", encoding="utf-8").write(text)

todo = queue.Queue()
for c in chosen: todo.put(c)
results = {}
lock = threading.Lock()

def worker(n):
    src, build = prepare(n)
    while True:
        try: i, m = todo.get_nowait()
        except queue.Empty: return
        r = mutate(i, m, src, build)
        with lock:
            results[i] = r
            print("  #%-3d %-9s %s" % (i, r, m[1]), file=sys.stderr, flush=True)

print("mutate: %d mutants, %d workers" % (len(chosen), jobs), file=sys.stderr, flush=True)
threads = [threading.Thread(target=worker, args=(n,)) for n in range(1, jobs + 1)]
for t in threads: t.start()
for t in threads: t.join()

before = {}
if compare:
    for line in open(compare):
        k, _, v = line.strip().partition(" ")
        if k.isdigit(): before[int(k)] = v

def line_of(m):
    # The line the mutant changes: the first where original and mutant differ.
    text = open(os.path.join(root, m[1]), encoding="utf-8").read()
    first = text.count("\n", 0, text.find(m[2])) + 1
    a, b = m[2].split("\n"), m[3].split("\n")
    k = next((k for k in range(len(a)) if k >= len(b) or a[k] != b[k]), 0)
    return first + k

def label(i, m):
    r = results.get(i, "?")
    if len(m) > 4 and r == "survived": return "equivalent"
    return r

def short(s):
    s = " ".join(s.split())
    return s if len(s) <= 48 else s[:45] + "..."

head = "%-4s %-14s %-28s %-48s " % ("#", "area", "where", "mutant")
print(head + ("%-10s %-10s" % ("before", "after") if compare else "result"))
counts = {}
for i, m in chosen:
    r = label(i, m)
    counts[r] = counts.get(r, 0) + 1
    where = "%s:%d" % (m[1], line_of(m))
    row = "%-4d %-14s %-28s %-48s " % (i, m[0], where, short(m[3]))
    print(row + ("%-10s %-10s" % (before.get(i, "-"), r) if compare else r))
for i, m in chosen:
    if len(m) > 4: print("  #%d cannot change behaviour: %s" % (i, m[4]))
print("total: " + ", ".join("%d %s" % (v, k) for k, v in sorted(counts.items())))
if compare:
    killed_before = sum(1 for v in before.values() if v == "killed")
    print("killed before %d, after %d" % (killed_before, counts.get("killed", 0)))
if details:
    with open(details, "w") as f:
        for i, m in chosen: f.write("%d %s\n" % (i, " ".join(killers.get(i, []))))
if save:
    with open(save, "w") as f:
        for i, m in chosen: f.write("%d %s\n" % (i, label(i, m)))
bad = counts.get("survived", 0) + counts.get("no match", 0) + counts.get("stillborn", 0)
sys.exit(1 if bad else 0)
PY
