#include "filelist/save_files.h"

#include <stdlib.h>

#include "app/messages.h"
#include "app/path_util.h"
#include "app/platform.h"
#include "device/connection.h"
#include "device/library_path.h"
#include "filelist/item_text.h"

namespace {

const char kBackupIncomplete[] = "バックアップを完了できませんでした。";
const char kBackupList[] = "backup.pfs";
const char kNotHostNames[] = "次のファイルはPCのファイル名にできません。";
// Yes replaces, No skips, Cancel ends; No is the default.
constexpr unsigned kReplaceStyle = MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2;

enum class Next { kSaved, kSkip, kStop };

Next SaveOne(const FileToSave& file, bool ask) {
  if (ask && ThePlatform().PathExists(file.hostPath)) {
    int answer = Show(file.deviceName + kAlreadyThere, kReplaceStyle);
    if (answer == IDNO) return Next::kSkip;
    if (answer != IDYES) return Next::kStop;
  }
  MakeFolders(HostFolder(file.hostPath));
  while (!ReplaceWhole(file.hostPath, [&](const std::string& fresh) { return ReadToHost(file.deviceName, fresh) == 0; })) {
    int answer = Show(kReadFailed, kRetryStyle);
    if (answer == IDRETRY) continue;
    return answer == IDIGNORE ? Next::kSkip : Next::kStop;
  }
  return Next::kSaved;
}

// Whether the host takes a and b (keys of HostPathBelow) for one file, or
// one for a folder the other needs.
bool Clash(const std::string& a, const std::string& b) {
  Platform& platform = ThePlatform();
  if (platform.SameFileName(a, b)) return true;
  for (const auto& [file, path] : {std::pair<const std::string&, const std::string&>{a, b}, {b, a}})
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
      if (platform.SameFileName(file, path.substr(0, at))) return true;
  return false;
}

}  // namespace

Placement PlaceFiles(const std::vector<std::string>& itemTexts, const std::string& folder, bool flat,
                     const std::vector<std::string>& reserved) {
  Placement placement;
  std::vector<std::string> taken = reserved;
  for (const std::string& text : itemTexts) {
    FileToSave file;
    std::string key;
    // Names are judged by their characters: the second byte of ポ is '|'.
    bool named = NameFromItemText(text, &file.deviceName);
    bool ok = named && ThePlatform().HostText(file.deviceName, &file.hostPath) && HostPathBelow(file.hostPath, flat, &key);
    for (const std::string& other : taken) ok = ok && !Clash(other, key);
    if (!ok) {
      placement.refused.push_back(named ? file.deviceName : text);
      continue;
    }
    taken.push_back(key);
    if (flat) file.hostPath = HostFileName(file.hostPath);
    file.hostPath = folder + file.hostPath;
    long long size = strtoll(text.c_str(), nullptr, 10);   // the item's, for the progress
    file.size = size > 0 ? static_cast<uint64_t>(size) : 0;
    placement.files.push_back(file);
  }
  return placement;
}

bool GoOnWithout(const std::vector<std::string>& refused, bool ask) {
  if (refused.empty()) return true;
  std::string text = kNotHostNames;
  for (const std::string& name : refused) text += "\n" + name;
  return Show(text, ask ? MB_OKCANCEL | MB_ICONEXCLAMATION : kErrorStyle) == IDOK && ask;
}

SaveEnd SaveFiles(const std::vector<FileToSave>& files, bool ask, std::vector<size_t>* saved) {
  WaitCursor wait;
  ProgressScope progress(true);
  if (!ConnectDevice()) {
    Show(kCannotConnect, kErrorStyle);
    return SaveEnd::kNoConnection;
  }
  uint64_t done = 0, total = 0;
  for (const FileToSave& file : files) total += file.size;
  SaveEnd end = SaveEnd::kAll;
  for (size_t i = 0; i < files.size(); ++i) {
    // A stop asked for during the file before ends the reading here.
    if (ThePlatform().StopRequested()) {
      end = SaveEnd::kStopped;
      break;
    }
    ThePlatform().ShowProgress(StepText(kReading, i + 1, files.size(), files[i].deviceName), done, total);
    done += files[i].size;
    Next next = SaveOne(files[i], ask);
    if (next == Next::kSaved) saved->push_back(i);
    if (next == Next::kSkip) end = SaveEnd::kSkipped;
    if (next == Next::kStop) {
      end = SaveEnd::kStopped;
      break;
    }
  }
  DisconnectDevice();
  return end;
}

void SaveSelectedFiles(ListControl& list, const std::string& folder) {
  std::vector<size_t> saved;
  std::vector<int> selected = list.SelectedIndexes(kMaxSelectedItems);
  if (selected.empty()) return;
  Placement placement = PlaceFiles(ItemTexts(list, selected), folder, false);
  if (GoOnWithout(placement.refused, true)) SaveFiles(placement.files, true, &saved);
}

std::string BackupListText(const std::vector<std::string>& deviceNames) {
  std::string text;
  for (const std::string& name : deviceNames) text += name + "\r\n";
  return text;
}

void BackUpDevice(ListControl& list, const std::string& folder) {
  std::vector<int> all;
  for (int i = 0; i < list.Count(); ++i) all.push_back(i);
  std::vector<size_t> saved;
  if (all.empty()) return;
  // The device's own file of the list's name would be overwritten by it.
  Placement placement = PlaceFiles(ItemTexts(list, all), folder, false, {kBackupList});
  if (!GoOnWithout(placement.refused, true)) return;
  SaveEnd end = SaveFiles(placement.files, true, &saved);
  if (end == SaveEnd::kNoConnection) return;
  // The list is written only when it names the whole device, so that it
  // writes the device back as it was.
  bool complete = end == SaveEnd::kAll && placement.refused.empty();
  if (complete) {
    std::vector<std::string> names;
    for (const FileToSave& file : placement.files) names.push_back(file.deviceName);
    std::string path = JoinHostPath(folder, kBackupList);
    complete = !ThePlatform().PathExists(path) || Show(kBackupList + std::string(kAlreadyThere), kReplaceStyle) == IDYES;
    std::string text = BackupListText(names);
    complete = complete && ReplaceWhole(path, [&](const std::string& fresh) { return ThePlatform().WriteWholeFile(fresh, text); });
  }
  if (!complete) Show(kBackupIncomplete, kErrorStyle);
}
