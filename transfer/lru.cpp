#include "transfer/lru.h"

#include <algorithm>

#include "app/messages.h"
#include "app/path_util.h"
#include "app/platform.h"
#include "app/settings_store.h"
#include "device/library_path.h"
#include "device/pieceif.h"
#include "device/directory.h"

namespace {

const char kOverwriteQuestion[] = "を上書きしてもよろしいですか？";

bool IsStartup(const std::string& name) { return EqualsIgnoreAsciiCase(name, kStartupName); }

}  // namespace

void MarkRecentlyUsed(const std::string& name) {
  if (IsStartup(name)) return;
  auto found = std::find(LruList.begin(), LruList.end(), name);
  if (found != LruList.end()) LruList.erase(found);
  LruList.push_back(name);
}

void RenameRecentlyUsed(const std::string& oldName, const std::string& newName) {
  auto replaced = std::find(LruList.begin(), LruList.end(), newName);
  if (replaced != LruList.end()) LruList.erase(replaced);
  auto found = std::find(LruList.begin(), LruList.end(), oldName);
  if (found == LruList.end()) return;
  if (IsStartup(newName))
    LruList.erase(found);
  else
    *found = newName;
}

bool ReconcileLruList(DeviceSizes* sizes) {
  DirListing listing;
  if (!listing.ReadDirectory()) return false;
  if (sizes)
    for (const DirEntry& entry : listing.entries) (*sizes)[entry.name] = entry.size;
  // Files that came onto the device some other way count as the most
  // recently used, in directory order.
  for (const DirEntry& entry : listing.entries) {
    if (IsStartup(entry.name)) continue;
    if (std::find(LruList.begin(), LruList.end(), entry.name) == LruList.end())
      LruList.push_back(entry.name);
  }
  auto gone = [&listing](const std::string& name) {
    // startup.pex must never be swapped out, whatever put it on the list.
    if (IsStartup(name)) return true;
    for (const DirEntry& entry : listing.entries)
      if (EqualsIgnoreAsciiCase(entry.name, name)) return false;
    return true;
  };
  LruList.erase(std::remove_if(LruList.begin(), LruList.end(), gone), LruList.end());
  return true;
}

bool SwapOutOne(bool& folderOpened, const DeviceSizes& sizes, const std::string& writing,
                const std::function<void(const std::string&)>& moving) {
  Platform& platform = ThePlatform();
  while (!LruList.empty()) {
    // The name stays off the list whatever happens; if its file is still on
    // the device, the next reconciliation puts it back at the end.
    std::string name = LruList.front();
    LruList.erase(LruList.begin());

    if (AppSettings.openfolder && !folderOpened) {
      platform.OpenFolder(AppSettings.folder);
      folderOpened = true;
    }

    // The copy's name is the device name as host text, a file below the
    // swap folder. A name that is no code page 932 text has none; one that
    // cannot be a file there (nul.sav: the NUL device would take the copy)
    // or leads out of the folder (it could overwrite any file of the
    // user's) is passed over for the next.
    std::string hostName, key, swapPath;
    auto size = sizes.find(name);
    if (size == sizes.end() || !platform.HostText(name, &hostName) || !HostPathBelow(hostName, false, &key)) continue;
    swapPath = JoinHostPath(AppSettings.folder, hostName);
    // Written from the swap folder itself: the copy would destroy the very
    // file being written. The write replaces that device file anyway.
    if (!writing.empty() && platform.SameFile(swapPath, writing)) continue;
    // The swap path must fit the host's 260-character path buffers; a cut
    // path would put the copy under another name.
    if (Utf16Length(swapPath) > kMaxHostPath) continue;
    if (AppSettings.warnoverwr && platform.PathExists(swapPath) &&
        ShowHost(swapPath + HostTextOf(kOverwriteQuestion), MB_YESNO | MB_ICONQUESTION) != IDYES)
      return false;

    // The device file goes only once its copy is complete in the folder:
    // read beside it, it replaces an old copy only when whole, at the size
    // the device gave for it.
    if (moving) moving(name);
    auto whole = [&](const std::string& fresh) {
      uint64_t bytes = static_cast<uint64_t>(size->second);
      return ReadToHost(name, fresh, bytes) == 0 && platform.FileSize(fresh) == bytes;
    };
    if (size->second < 0 || !ReplaceWhole(swapPath, whole)) return false;

    if (ismPFFSDelete(name.c_str()) == 0) return true;
    // The file and its copy both stay; try to make room with the next one.
  }
  return false;
}
