#include "readout/save_files.h"

#include "app/messages.h"
#include "app/operations.h"
#include "app/path_util.h"
#include "app/platform.h"
#include "device/connection.h"
#include "device/library_path.h"

namespace {

const char kBackupIncomplete[] = "バックアップを完了できませんでした。";
const char kBackupList[] = "backup.pfs";
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
  while (!ReplaceWhole(file.hostPath, [&](const std::string& fresh) { return ReadToHost(file.deviceName, fresh, file.size) == 0; })) {
    int answer = Show(kReadFailed, kRetryStyle);
    if (answer == IDRETRY) continue;
    return answer == IDIGNORE ? Next::kSkip : Next::kStop;
  }
  return Next::kSaved;
}

}  // namespace

SaveEnd SaveFiles(const std::vector<FileToSave>& files, bool ask, const char* did, std::vector<size_t>* saved) {
  WaitCursor wait;
  ProgressScope progress;
  if (!ConnectDevice()) {
    Show(kCannotConnect, kErrorStyle);
    return SaveEnd::kNoConnection;
  }
  uint64_t done = 0, total = 0;
  for (const FileToSave& file : files) total += file.size;
  SaveEnd end = SaveEnd::kAll;
  for (size_t i = 0; i < files.size(); ++i) {
    // A stop asked for during the file before ends the reading here.
    if (TheOperations().StopRequested()) {
      end = SaveEnd::kStopped;
      break;
    }
    ProgressStep step;
    step.index = i + 1, step.count = files.size(), step.name = files[i].deviceName, step.bytesDone = done, step.bytesTotal = total;
    ShowStep(step);
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
  std::vector<std::string> leftOut;
  for (size_t i = 0, k = 0; i < files.size(); ++i)
    if (k < saved->size() && (*saved)[k] == i) ++k;
    else leftOut.push_back(files[i].deviceName);
  std::string notice = did && end != SaveEnd::kStopped ? LeftOutNotice(did, files.size(), leftOut) : "";
  if (!notice.empty()) Show(notice, kNoticeStyle);
  return end;
}

void SaveToFolder(const std::vector<DirEntry>& entries, const std::string& folder) {
  std::vector<size_t> saved;
  Placement placement = PlaceFiles(entries, folder, false);
  if (!entries.empty() && GoOnWithout(placement.refused, true)) SaveFiles(placement.files, true, "保存しました", &saved);
}

std::string BackupListText(const std::vector<std::string>& deviceNames) {
  std::string text;
  for (const std::string& name : deviceNames) text += name + "\r\n";
  return text;
}

void BackUpDevice(const std::vector<DirEntry>& entries, const std::string& folder) {
  std::vector<size_t> saved;
  if (entries.empty()) return;
  // The device's own file of the list's name would be overwritten by it.
  Placement placement = PlaceFiles(entries, folder, false, {kBackupList});
  if (!GoOnWithout(placement.refused, true)) return;
  SaveEnd end = SaveFiles(placement.files, true, nullptr, &saved);   // it says so itself
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
