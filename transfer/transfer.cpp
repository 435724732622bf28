#include "transfer/transfer.h"

#include <stdio.h>

#include <functional>
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

const char kSwapping[] = "退避中";
const char kWritten[] = "書き込みました";
const char kReadBackDiffers[] = "を読み返した内容が書き込んだファイルと違います。";   // after the name
const char kNotConfirmed[] = "書き込んだファイルを確認できませんでした。もう一度書き込みますか？";

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
int32_t WriteToDevice(const std::string& name, const std::string& hostPath, uint64_t size) {
  if (name.empty() || hostPath.empty() || Utf16Length(hostPath) > kMaxHostPath) return kHostPathTooLong;
  return WriteFromHost(name, hostPath, size);
}

bool SameBytes(const std::string& a, const std::string& b) {
  FILE* x = ThePlatform().OpenForReading(a);
  FILE* y = x ? ThePlatform().OpenForReading(b) : nullptr;
  bool same = y != nullptr;
  for (int c = 0; same && c != EOF;) same = (c = getc(x)) == getc(y);
  if (x) fclose(x);
  if (y) fclose(y);
  return same;
}

enum class ReadBack { kSame, kDiffers, kFailed };

// The device file read back into a private file, compared byte for byte
// with the host file it was written from.
ReadBack ReadItBack(const std::string& name, const std::string& hostPath, uint64_t size) {
  std::string temp;
  if (!ThePlatform().TempFolder(&temp)) return ReadBack::kFailed;
  PrivateFile copy(temp);
  if (copy.path().empty() || ReadToHost(name, copy.path(), size) != 0) return ReadBack::kFailed;
  return SameBytes(copy.path(), hostPath) ? ReadBack::kSame : ReadBack::kDiffers;
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
  explicit Transfer(const DeviceSizes& sizes) : deviceSizes_(sizes) {}
  // The files the paths name, lists' lines included, and their bytes, for
  // the progress; or the host files of files written before.
  void Count(const std::string& path, bool listed);
  // fileName is device text; hostPath is host text.
  Next WriteOneFile(const std::string& fileName, const std::string& hostPath);
  Next WriteList(const std::string& listPath);
  // What the end says when files were skipped or failed; nothing after a stop.
  void Notice(bool stopped) const;

  std::vector<WrittenFile> written;

 private:
  void Progress(const std::string& name);
  enum class Verified { kSame, kWrittenAgain, kLetBe, kStop };
  Verified Verify(const std::string& name, const std::string& hostPath, uint64_t size, int32_t* status);

  bool folderOpened_ = false;   // the swap folder opens once per call
  DeviceSizes deviceSizes_;
  std::vector<uint64_t> sizes_;
  std::vector<std::string> leftOut_;
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
  ProgressStep step;
  step.index = index_, step.count = sizes_.size(), step.name = name, step.bytesDone = bytesDone_, step.bytesTotal = bytesTotal_;
  ShowStep(step);
}

void Transfer::Notice(bool stopped) const {
  std::string text = LeftOutNotice(kWritten, index_, leftOut_);
  if (!stopped && !text.empty()) Show(text, kNoticeStyle);
}

// With the verify setting: the file read back (Retry reads a failed read
// again) is what was written, or differs and Retry writes it again, or the
// user lets it be (Ignore) or ends (Abort).
Transfer::Verified Transfer::Verify(const std::string& name, const std::string& hostPath, uint64_t size, int32_t* status) {
  for (;;) {
    ReadBack back = ReadItBack(name, hostPath, size);
    if (back == ReadBack::kSame) return Verified::kSame;
    int answer = Show(back == ReadBack::kFailed ? std::string(kReadFailed) : name + kReadBackDiffers, kRetryStyle);
    if (answer == IDRETRY && back == ReadBack::kFailed) continue;
    if (answer == IDRETRY) {
      *status = WriteToDevice(name, hostPath, size);
      return Verified::kWrittenAgain;
    }
    return answer == IDIGNORE ? Verified::kLetBe : Verified::kStop;
  }
}

Next Transfer::WriteOneFile(const std::string& fileName, const std::string& hostPath) {
  // Files come in the order they were counted in; those before this one are done.
  if (index_ > 0 && index_ <= sizes_.size()) bytesDone_ += sizes_[index_ - 1];
  const uint64_t size = index_ < sizes_.size() ? sizes_[index_] : 0;
  ++index_;
  leftOut_.push_back(fileName);   // until it is written
  if (HasBlank(fileName)) {
    Show(kBlankInName, kErrorStyle);
    return Next::kCarryOn;
  }
  const std::string name = LowerAscii(fileName);
  if (EqualsIgnoreAsciiCase(name, kStartupName) && Show(kStartupWriteQuestion, kConfirmStyle) != IDYES)
    return Next::kCarryOn;

  Progress(name);
  int32_t status = WriteToDevice(name, hostPath, size);
  for (;;) {
    if (status == 0 && AppSettings.verify) {
      Verified verified = Verify(name, hostPath, size, &status);
      if (verified == Verified::kWrittenAgain) continue;
      if (verified != Verified::kSame) return verified == Verified::kLetBe ? Next::kCarryOn : Next::kStop;
    }
    if (status == 0) {
      MarkRecentlyUsed(name);
      deviceSizes_[name] = static_cast<int64_t>(size);
      written.push_back({name, hostPath, size});
      leftOut_.pop_back();
      return Next::kCarryOn;
    }
    int answer;
    if (AppSettings.mode && IsFlashFull(status)) {
      // Make room one device file at a time until the file fits, unless the
      // user asked to stop, which ends the writing as Abort does.
      auto moving = [this](const std::string& moved) {
        ProgressStep step;
        step.verb = kSwapping, step.name = moved, step.bytesDone = bytesDone_, step.bytesTotal = bytesTotal_;
        ShowStep(step);
      };
      if (SwapOutOne(folderOpened_, deviceSizes_, hostPath, moving)) {
        if (TheOperations().StopRequested()) return Next::kStop;
        Progress(name);
        status = WriteToDevice(name, hostPath, size);
        continue;
      }
      answer = Show(kSwapFailed, kRetryStyle);
    } else {
      answer = Show(IsFlashFull(status) ? kNoRoom : kWriteFailed, kRetryStyle);
    }
    if (answer == IDRETRY) {
      status = WriteToDevice(name, hostPath, size);
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
    std::string name;
    if (ThePlatform().DeviceText(HostFileName(listPath), &name)) leftOut_.push_back(name), ++index_;
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

// One connection for the whole transfer, after the LRU list has been
// brought in line with the device; write runs the writes in it.
std::vector<WrittenFile> Run(const std::function<void(Transfer&)>& count,
                             const std::function<Next(Transfer&)>& write) {
  ProgressScope progress;
  DeviceSizes sizes;
  if (!ReconcileLruList(&sizes)) {
    Show(kLruFailed, kErrorStyle);
    return {};
  }
  WaitCursor wait;
  Transfer transfer(sizes);
  if (ConnectDevice()) {
    count(transfer);
    bool stopped = write(transfer) == Next::kStop;
    DisconnectDevice();
    transfer.Notice(stopped);
  } else {
    Show(kCannotConnect, kErrorStyle);
    DisconnectDevice();
  }
  return transfer.written;
}

}  // namespace

std::vector<WrittenFile> TransferFiles(const PathList& paths) {
  if (paths.empty()) return {};
  return Run([&](Transfer& transfer) { for (const std::string& path : paths) transfer.Count(path, false); },
             [&](Transfer& transfer) {
               for (const std::string& path : paths) {
                 // A stop asked for during the file before ends the writing here.
                 if (TheOperations().StopRequested()) return Next::kStop;
                 PathParts parts = SplitHostPath(path);
                 std::string name;   // a host name that code page 932 cannot hold is refused as it is written
                 Next next = IsList(path) ? transfer.WriteList(path)
                                          : transfer.WriteOneFile(ThePlatform().DeviceText(parts.name + parts.extension, &name) ? name : "", path);
                 if (next == Next::kStop) return Next::kStop;
               }
               return Next::kCarryOn;
             });
}

std::vector<WrittenFile> WriteAgain(const std::vector<WrittenFile>& files) {
  if (files.empty()) return {};
  return Run([&](Transfer& transfer) { for (const WrittenFile& file : files) transfer.Count(file.hostPath, true); },
             [&](Transfer& transfer) {
               for (const WrittenFile& file : files)
                 if (TheOperations().StopRequested() || transfer.WriteOneFile(file.deviceName, file.hostPath) == Next::kStop)
                   return Next::kStop;
               return Next::kCarryOn;
             });
}

std::vector<WrittenFile> ShortWrites(const std::vector<WrittenFile>& written, const std::vector<DirEntry>& listed) {
  std::vector<WrittenFile> shortOnes;
  for (const WrittenFile& file : written)
    for (const DirEntry& entry : listed)
      if (entry.name == file.deviceName && static_cast<uint64_t>(entry.size < 0 ? 0 : entry.size) < file.size) {
        shortOnes.push_back(file);
        break;
      }
  return shortOnes;
}

bool AskToWriteAgain(const std::vector<WrittenFile>& shortOnes) {
  if (shortOnes.empty()) return false;
  std::string text = kNotConfirmed;
  for (const WrittenFile& file : shortOnes) text += "\n" + file.deviceName;
  return Show(text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}
