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
// Yes replaces, No skips, Cancel ends; No is the default.
constexpr unsigned kReplaceStyle = MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2;

enum class Next { kSaved, kSkip, kStop };

// Makes folder (ending in a separator) and the folders above it that are
// missing; a failure shows when the file cannot be made.
void MakeFolders(const std::string& folder) {
  std::string path = folder.substr(0, folder.size() - 1);
  if (path.empty() || ThePlatform().PathExists(path)) return;
  std::string parent = HostFolder(path);
  if (!parent.empty() && parent.size() < folder.size()) MakeFolders(parent);
  ThePlatform().CreateFolder(path);
}

// Puts bytes or the device file at path through a private file beside it,
// which replaces path only when it is whole.
bool PutInPlace(const std::string& path, const std::string* bytes, const std::string& deviceName) {
  Platform& platform = ThePlatform();
  std::string folder = HostFolder(path);
  MakeFolders(folder);
  std::string name = CreatePrivateFile(folder);
  if (name.empty()) return false;
  std::string fresh = folder + name;
  bool whole = bytes ? platform.WriteWholeFile(fresh, *bytes) : ReadToHost(deviceName, fresh) == 0;
  if (whole && platform.MoveFile(fresh, path)) return true;
  platform.RemoveFile(fresh);
  return false;
}

Next SaveOne(const FileToSave& file, bool ask) {
  if (ask && ThePlatform().PathExists(file.hostPath)) {
    int answer = Show(file.deviceName + kAlreadyThere, kReplaceStyle);
    if (answer == IDNO) return Next::kSkip;
    if (answer != IDYES) return Next::kStop;
  }
  while (!PutInPlace(file.hostPath, nullptr, file.deviceName)) {
    int answer = Show(kReadFailed, kRetryStyle);
    if (answer == IDRETRY) continue;
    return answer == IDIGNORE ? Next::kSkip : Next::kStop;
  }
  return Next::kSaved;
}

}  // namespace

bool FileOfItem(const std::string& itemText, bool flat, const std::vector<std::string>& taken, FileToSave* file) {
  Platform& platform = ThePlatform();
  std::string& relative = file->hostPath;
  bool ok = NameFromItemText(itemText, &file->deviceName) && !LeavesFolder(file->deviceName) &&
            platform.HostText(flat ? DeviceFileName(file->deviceName) : file->deviceName, &relative) &&
            !relative.empty() && relative != ".";
  for (const std::string& other : taken) ok = ok && !platform.SameFileName(other, relative);
  long long size = strtoll(itemText.c_str(), nullptr, 10);   // the item's, for the progress
  file->size = size > 0 ? static_cast<uint64_t>(size) : 0;
  return ok;
}

bool FilesBelow(const std::vector<std::string>& itemTexts, const std::string& folder,
                std::vector<FileToSave>* files) {
  std::vector<std::string> relatives;
  for (const std::string& text : itemTexts) {
    FileToSave file;
    if (!FileOfItem(text, false, relatives, &file)) {
      Show(kInternalError, kErrorStyle);
      return false;
    }
    relatives.push_back(file.hostPath);
    file.hostPath = folder + file.hostPath;
    files->push_back(file);
  }
  return true;
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
  std::vector<FileToSave> files;
  std::vector<size_t> saved;
  std::vector<int> selected = list.SelectedIndexes(kMaxSelectedItems);
  if (!selected.empty() && FilesBelow(ItemTexts(list, selected), folder, &files)) SaveFiles(files, true, &saved);
}

std::string BackupListText(const std::vector<std::string>& deviceNames) {
  std::string text;
  for (const std::string& name : deviceNames) text += name + "\r\n";
  return text;
}

void BackUpDevice(ListControl& list, const std::string& folder) {
  std::vector<int> all;
  for (int i = 0; i < list.Count(); ++i) all.push_back(i);
  std::vector<FileToSave> files;
  std::vector<size_t> saved;
  if (all.empty() || !FilesBelow(ItemTexts(list, all), folder, &files)) return;
  SaveEnd end = SaveFiles(files, true, &saved);
  if (end == SaveEnd::kNoConnection) return;
  // The list is written only when it names the whole device, so that it
  // writes the device back as it was.
  bool complete = end == SaveEnd::kAll;
  if (complete) {
    std::vector<std::string> names;
    for (const FileToSave& file : files) names.push_back(file.deviceName);
    std::string path = JoinHostPath(folder, kBackupList);
    complete = !ThePlatform().PathExists(path) || Show(kBackupList + std::string(kAlreadyThere), kReplaceStyle) == IDYES;
    std::string text = BackupListText(names);
    complete = complete && PutInPlace(path, &text, "");
  }
  if (!complete) Show(kBackupIncomplete, kErrorStyle);
}
