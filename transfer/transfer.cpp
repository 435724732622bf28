#include "transfer/transfer.h"

#include <stdio.h>

#include <vector>

#include "app/messages.h"
#include "app/operations.h"
#include "app/path_util.h"
#include "app/platform.h"
#include "app/settings_store.h"
#include "device/connection.h"
#include "device/library_path.h"
#include "device/pieceif.h"
#include "transfer/lru.h"
#include "transfer/transfer_list.h"

namespace {

const char kLruFailed[] = "LRUリストの調整に失敗しました。";
const char kListOpenFailed[] = "PFSファイルが開けません。";
const char kBlankInName[] = "空白を含むファイル名は転送できません。";
const char kSwapFailed[] = "ファイルの入れ替えに失敗しました。";

const char kWriting[] = "書き込み中";
const char kSwapping[] = "退避中";

const char kListExtension[] = ".pfs";

// Host paths live in 260-character buffers on the target. A longer one (a
// list's folder joined with a long line) is refused rather than cut, since a
// cut path names some other file.
// Our own status for a refused host path: a plain write failure, never a
// full flash.
constexpr int32_t kHostPathTooLong = -1;

enum class Next { kCarryOn, kStop };

bool HasBlank(const std::string& name) {
  // Blank bytes are never the trail byte of a double-byte character.
  for (char c : name)
    if (IsBlank(static_cast<unsigned char>(c))) return true;
  return false;
}

// An empty name or path stands for one that has no form in the other kind
// of text: it is refused as a plain write failure, like a path too long.
int32_t WriteToDevice(const std::string& name, const std::string& hostPath) {
  if (name.empty() || hostPath.empty() || Utf16Length(hostPath) > kMaxHostPath) return kHostPathTooLong;
  return WriteFromHost(name, hostPath);
}

bool IsList(const std::string& path) { return FoldHostCase(SplitHostPath(path).extension) == kListExtension; }

// A list's line is device text, relative to the list's folder; a line that
// is no code page 932 text names no host file ("").
std::string ListedPath(const std::string& listPath, const std::string& line) {
  std::string hostLine;
  return ThePlatform().HostText(line, &hostLine) ? HostFolder(listPath) + hostLine : std::string();
}

// One TransferFiles call: its connection is open while these run.
class Transfer {
 public:
  // The files the paths name, lists' lines included, and their bytes, for
  // the progress.
  Transfer(const PathList& paths, const DeviceSizes& sizes) : deviceSizes_(sizes) {
    for (const std::string& path : paths) Count(path, false);
  }
  // fileName is device text; hostPath is host text.
  Next WriteOneFile(const std::string& fileName, const std::string& hostPath);
  Next WriteList(const std::string& listPath);

 private:
  void Count(const std::string& path, bool listed);
  void Progress(const std::string& name);

  bool folderOpened_ = false;   // the swap folder opens once per call
  DeviceSizes deviceSizes_;
  std::vector<uint64_t> sizes_;
  size_t index_ = 0;
  uint64_t bytesDone_ = 0, bytesTotal_ = 0;
};

void Transfer::Count(const std::string& path, bool listed) {
  if (listed || !IsList(path)) {
    sizes_.push_back(path.empty() ? 0 : ThePlatform().FileSize(path));
    bytesTotal_ += sizes_.back();
    return;
  }
  TransferListReader list;
  std::string line;
  if (list.Open(path))
    while (list.NextLine(&line)) Count(ListedPath(path, line), true);
}

void Transfer::Progress(const std::string& name) {
  ThePlatform().ShowProgress(StepText(kWriting, index_, sizes_.size(), name), bytesDone_, bytesTotal_);
}

Next Transfer::WriteOneFile(const std::string& fileName, const std::string& hostPath) {
  // Files come in the order they were counted in; those before this one are done.
  if (index_ > 0 && index_ <= sizes_.size()) bytesDone_ += sizes_[index_ - 1];
  ++index_;
  if (HasBlank(fileName)) {
    Show(kBlankInName, kErrorStyle);
    return Next::kCarryOn;
  }
  const std::string name = LowerAscii(fileName);
  if (EqualsIgnoreAsciiCase(name, kStartupName) && Show(kStartupWriteQuestion, kConfirmStyle) != IDYES)
    return Next::kCarryOn;

  Progress(name);
  int32_t status = WriteToDevice(name, hostPath);
  for (;;) {
    if (status == 0) {
      MarkRecentlyUsed(name);
      deviceSizes_[name] = static_cast<int64_t>(ThePlatform().FileSize(hostPath));
      return Next::kCarryOn;
    }
    int answer;
    if (AppSettings.mode && IsFlashFull(status)) {
      // Make room one device file at a time until the file fits, unless the
      // user asked to stop, which ends the writing as Abort does.
      auto moving = [this](const std::string& moved) {
        ThePlatform().ShowProgress(std::string(kSwapping) + " " + moved, bytesDone_, bytesTotal_);
      };
      if (SwapOutOne(folderOpened_, deviceSizes_, hostPath, moving)) {
        if (TheOperations().StopRequested()) return Next::kStop;
        Progress(name);
        status = WriteToDevice(name, hostPath);
        continue;
      }
      answer = Show(kSwapFailed, kRetryStyle);
    } else {
      answer = Show(IsFlashFull(status) ? kNoRoom : kWriteFailed, kRetryStyle);
    }
    if (answer == IDRETRY) {
      status = WriteToDevice(name, hostPath);
      continue;
    }
    // Abort (or a box that could not be shown) ends the whole transfer.
    return answer == IDIGNORE ? Next::kCarryOn : Next::kStop;
  }
}

Next Transfer::WriteList(const std::string& listPath) {
  TransferListReader list;
  while (!list.Open(listPath)) {
    int answer = Show(kListOpenFailed, kRetryStyle);
    if (answer == IDRETRY) continue;
    return answer == IDIGNORE ? Next::kCarryOn : Next::kStop;
  }
  // Lines keep their own folder part in the device name. A line naming a
  // list writes it as a plain file.
  std::string line;
  while (list.NextLine(&line)) {
    if (TheOperations().StopRequested() || WriteOneFile(line, ListedPath(listPath, line)) == Next::kStop) return Next::kStop;
  }
  return Next::kCarryOn;
}

}  // namespace

void TransferFiles(const PathList& paths) {
  if (paths.empty()) return;
  ProgressScope progress;
  DeviceSizes sizes;
  if (!ReconcileLruList(&sizes)) {
    Show(kLruFailed, kErrorStyle);
    return;
  }
  WaitCursor wait;
  if (ConnectDevice()) {
    Transfer transfer(paths, sizes);
    for (const std::string& path : paths) {
      // A stop asked for during the file before ends the writing here.
      if (TheOperations().StopRequested()) break;
      PathParts parts = SplitHostPath(path);
      std::string name;   // a host name that code page 932 cannot hold is refused as it is written
      Next next = IsList(path) ? transfer.WriteList(path)
                               : transfer.WriteOneFile(ThePlatform().DeviceText(parts.name + parts.extension, &name) ? name : "", path);
      if (next == Next::kStop) break;
    }
  } else {
    Show(kCannotConnect, kErrorStyle);
  }
  DisconnectDevice();
}
