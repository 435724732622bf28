#include "filelist/rename.h"

#include <memory>
#include <vector>

#include "app/messages.h"
#include "app/operations.h"
#include "app/path_util.h"
#include "app/platform.h"
#include "device/connection.h"
#include "device/library_path.h"
#include "device/pieceif.h"
#include "device/directory.h"
#include "transfer/lru.h"

const char kNameRefused[] = "このファイル名は使えません。";

namespace {

const char kNotConfirmed[] = "名前の変更を確認できませんでした。元のファイルはそのまま残しました。";

// A failed step asks Abort, Retry or Ignore; a rename is one file, so Abort
// and Ignore both end it.
bool Retry(const char* failure) { return Show(failure, kRetryStyle) == IDRETRY; }

// The size listed for the first file of exactly this name, or -1.
int64_t ListedSize(const DirListing& listing, const std::string& name) {
  for (const DirEntry& entry : listing.entries)
    if (entry.name == name) return entry.size;
  return -1;
}

// The four steps, in the open connection: true when the old name is gone.
// The file is on the device under some name whatever fails. A full flash is
// reported, never met by swapping files out.
bool MoveOnDevice(const std::string& oldName, const std::string& newName, const std::string& copy, uint64_t size) {
  // Read and write, each the whole file, are the steps a progress shows.
  ProgressStep step;
  step.verb = kinds::kRead.verb, step.index = step.count = 1, step.name = oldName, step.bytesTotal = 2 * size;
  ShowStep(step);
  while (ReadToHost(oldName, copy, size) != 0)
    if (!Retry(kReadFailed)) return false;
  step.verb = kinds::kWrite.verb, step.name = newName, step.bytesDone = size;
  ShowStep(step);
  for (int32_t status; (status = WriteFromHost(newName, copy, size)) != 0;)
    if (!Retry(IsFlashFull(status) ? kNoRoom : kWriteFailed)) return false;
  std::vector<char> text(kDirTextSize, 0);
  DirListing listing;
  int64_t listed = -1;
  if (ismPFFSDir(text.data(), static_cast<int32_t>(text.size()), 0) != 0 || !listing.Parse(text.data(), text.size()) ||
      (listed = ListedSize(listing, oldName)) < 0 || ListedSize(listing, newName) != listed) {
    Show(kNotConfirmed, kErrorStyle);
    return false;
  }
  while (ismPFFSDelete(oldName.c_str()) != 0)
    if (!Retry(kDeleteFailed)) return false;
  return true;
}

// The item of exactly this name, or null.
const DirEntry* Listed(ListControl& list, const std::string& name) {
  for (int i = 0; i < list.Count(); ++i)
    if (list.Entry(i)->name == name) return list.Entry(i);
  return nullptr;
}

}  // namespace

NewName CheckNewName(const std::string& typed, const std::string& shown, const std::string& oldName,
                     std::string* newName) {
  // A name made by a device program (SaveData.DAT) is opened by it in that
  // very form: OK on it as shown must not lower it.
  if (typed == shown) return NewName::kUnchanged;
  std::string name;
  bool representable = ThePlatform().DeviceText(typed, &name);
  name = LowerAscii(name);
  bool blank = false;
  for (char c : name) blank = blank || IsBlank(static_cast<unsigned char>(c));
  if (!representable || name.empty() || blank || name.size() > kMaxDeviceName || !CanBeFileName(typed))
    return NewName::kRefused;
  if (name == oldName) return NewName::kUnchanged;
  *newName = name;
  return NewName::kGood;
}

void RenameFile(ListControl& list, const std::string& oldName, const std::string& newName) {
  WaitCursor wait;
  if (EqualsIgnoreAsciiCase(oldName, kStartupName) && Show(kStartupDeleteQuestion, kConfirmStyle) != IDYES) return;
  if (EqualsIgnoreAsciiCase(newName, kStartupName) && Show(kStartupWriteQuestion, kConfirmStyle) != IDYES) return;
  if (Listed(list, newName) && Show(newName + kAlreadyThere, kConfirmStyle) != IDYES) return;
  std::string temp;
  std::unique_ptr<PrivateFile> copy;
  if (ThePlatform().TempFolder(&temp)) copy.reset(new PrivateFile(temp));
  if (!copy || copy->path().empty()) {
    Show(kNoTempFolder, kErrorStyle);
    return;
  }
  const DirEntry* old = Listed(list, oldName);
  uint64_t size = old && old->size > 0 ? static_cast<uint64_t>(old->size) : 0;
  ProgressScope progress;
  bool moved = false;
  if (ConnectDevice())
    moved = MoveOnDevice(oldName, newName, copy->path(), size);
  else
    Show(kCannotConnect, kErrorStyle);
  DisconnectDevice();
  copy.reset();
  if (moved) RenameRecentlyUsed(oldName, newName);
  RefreshFileList(list, nullptr, newName);
}
