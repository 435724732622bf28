#include "readout/read_out.h"

#include "app/messages.h"
#include "app/path_util.h"
#include "app/platform.h"
#include "device/connection.h"
#include "device/library_path.h"
#include "device/pieceif.h"
#include "readout/host_names.h"
#include "readout/save_files.h"

namespace {

// "QL" and eight hex digits: every candidate has the same length, so paths
// can be measured before the folder exists.
constexpr size_t kFolderNameLength = 10;
constexpr int kFolderAttempts = 100;

std::string FolderName(uint32_t seed) {
  return "QL" + Hex8(seed);
}

bool FitsPathBuffer(size_t length) { return length < kHostPathBuffer; }

}  // namespace

bool ReadOut::MakeFolder(const std::string& tempFolder, char separator) {
  Platform& platform = ThePlatform();
  uint32_t seed = platform.TickCount();
  for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
    std::string folder = tempFolder + FolderName(seed + static_cast<uint32_t>(attempt));
    // CreateFolder fails on an existing folder, so the one made is new.
    if (platform.CreateFolder(folder)) {
      KnowPrivate(folder_ = folder + separator, true);
      return true;
    }
  }
  return false;
}

bool ReadOut::Prepare(const std::vector<DirEntry>& entries, std::vector<std::string>* refused) {
  Platform& platform = ThePlatform();
  std::string tempFolder;
  if (!platform.TempFolder(&tempFolder) || tempFolder.empty()) {
    Show(kNoTempFolder, kErrorStyle);
    return false;
  }
  char separator = tempFolder.back() == '/' ? '/' : '\\';
  size_t folderLength = Utf16Length(tempFolder) + kFolderNameLength + 1;

  // The copies are named by the file-name parts of the device names, as
  // host text; two that the host's file system takes for one would be one.
  Placement placement = PlaceFiles(entries, "", true);
  *refused = placement.refused;
  std::vector<std::string> names, fileNames;
  for (const FileToSave& file : placement.files) {
    if (!FitsPathBuffer(folderLength + Utf16Length(file.hostPath))) {
      Show(kNoTempFolder, kErrorStyle);
      return false;
    }
    names.push_back(file.deviceName);
    fileNames.push_back(file.hostPath);
    sizes_.push_back(file.size);
  }
  if (names.empty()) return false;
  if (!MakeFolder(tempFolder, separator)) {
    Show(kNoTempFolder, kErrorStyle);
    return false;
  }
  deviceNames_ = names;
  for (const std::string& fileName : fileNames) KnowPrivate(folder_ + fileName, true), tempPaths_.push_back(folder_ + fileName);
  return true;
}

bool ReadOut::ReadAtDrop() {
  WaitCursor wait;
  ProgressScope progress;
  if (!ConnectDevice()) {
    errorText_ = kCannotConnect;
    return false;
  }
  uint64_t done = 0, total = 0;
  for (uint64_t size : sizes_) total += size;
  for (size_t i = 0; i < tempPaths_.size(); ++i) {
    ProgressStep step;
    step.index = i + 1, step.count = tempPaths_.size(), step.name = deviceNames_[i], step.bytesDone = done, step.bytesTotal = total;
    ShowStep(step);
    done += sizes_[i];
    if (ReadToHost(deviceNames_[i], tempPaths_[i], sizes_[i]) != 0) {
      errorText_ = kReadFailed;
      DisconnectDevice();
      return false;
    }
    readPaths_.push_back(tempPaths_[i]);
  }
  DisconnectDevice();
  return true;
}

std::vector<std::string> ReadOut::ReadAll() {
  std::vector<FileToSave> files;
  for (size_t i = 0; i < tempPaths_.size(); ++i) files.push_back({deviceNames_[i], tempPaths_[i], sizes_[i]});
  std::vector<size_t> saved;
  std::vector<std::string> paths;
  if (SaveFiles(files, false, "読み出しました", &saved) != SaveEnd::kStopped)
    for (size_t i : saved) paths.push_back(tempPaths_[i]);
  return paths;
}

void ReadOut::ReportError() {
  if (!errorText_.empty()) Show(errorText_, kErrorStyle);
}

void ReadOut::Cleanup() {
  if (folder_.empty()) return;
  Platform& platform = ThePlatform();
  for (const std::string& path : readPaths_) platform.RemoveFile(path);
  // A failed read may leave a partial file; the folder is this drag's own,
  // so anything named here can go.
  for (const std::string& path : tempPaths_) {
    if (platform.PathExists(path)) platform.RemoveFile(path);
    KnowPrivate(path, false);
  }
  platform.RemoveFolder(folder_.substr(0, folder_.size() - 1));
  KnowPrivate(folder_, false);
  folder_.clear();
  readPaths_.clear();
}
