#include "app/platform.h"

#include <algorithm>
#include <memory>

#include "app/operations.h"
#include "app/path_util.h"

namespace {
Platform* currentPlatform = nullptr;
}

Platform& ThePlatform() { return *currentPlatform; }
void SetPlatform(Platform* platform) { currentPlatform = platform; }

std::string HostTextOf(const std::string& deviceText) {
  std::string utf8, part;
  if (ThePlatform().HostText(deviceText, &utf8)) return utf8;
  utf8.clear();
  for (size_t i = 0; i < deviceText.size(); ++i) {   // character by character, passing over the bad ones
    size_t n = IsLeadByte(static_cast<unsigned char>(deviceText[i])) && i + 1 < deviceText.size() ? 2 : 1;
    if (ThePlatform().HostText(deviceText.substr(i, n), &part)) utf8 += part;
    i += n - 1;
  }
  return utf8;
}

int Show(const std::string& deviceText, unsigned style) { return ShowHost(HostTextOf(deviceText), style); }

int ShowHost(const std::string& hostText, unsigned style) {
  UserWait wait;
  return ThePlatform().ShowMessage(hostText, style);
}

namespace {

std::vector<std::string> privatePaths;

}  // namespace

void MakeFolders(const std::string& folder) {
  std::string path = folder.substr(0, folder.size() - 1);
  if (path.empty() || ThePlatform().PathExists(path)) return;
  std::string parent = HostFolder(path);
  if (!parent.empty() && parent.size() < folder.size()) MakeFolders(parent);
  ThePlatform().CreateFolder(path);
}

PrivateFile::PrivateFile(const std::string& folder) {
  Platform& p = ThePlatform();
  for (uint32_t seed = p.TickCount(), i = 0; i < 100; ++i) {
    std::string path = folder + "QLS" + Hex8(seed + i) + ".tmp";
    if (p.CreateNewFile(path)) {
      KnowPrivate(path_ = path, true);
      return;
    }
  }
}

PrivateFile::~PrivateFile() {
  if (path_.empty()) return;
  ThePlatform().RemoveFile(path_);
  KnowPrivate(path_, false);
}

bool PrivateFile::MoveTo(const std::string& target) {
  if (path_.empty() || !ThePlatform().MoveFile(path_, target)) return false;
  KnowPrivate(path_, false);
  path_.clear();
  return true;
}

void KnowPrivate(const std::string& path, bool exists) {
  auto known = std::find(privatePaths.begin(), privatePaths.end(), path);
  if (exists && known == privatePaths.end()) privatePaths.push_back(path);
  if (!exists && known != privatePaths.end()) privatePaths.erase(known);
}

void RemovePrivateFiles(const std::string& inUse) {
  Platform& p = ThePlatform();
  // Files first, newest first, so that the folders they lie in are empty.
  for (auto path = privatePaths.rbegin(); path != privatePaths.rend(); ++path) {
    bool folder = !path->empty() && (path->back() == '\\' || path->back() == '/');
    if (*path == inUse) continue;
    if (folder) p.RemoveFolder(path->substr(0, path->size() - 1));
    else p.RemoveFile(*path);
  }
  privatePaths.clear();
}

bool ReplaceWhole(const std::string& path, const std::function<bool(const std::string& fresh)>& fill) {
  Platform& platform = ThePlatform();
  std::string folder = HostFolder(path), temp;
  // Where a private file's longer name does not fit beside a short one, it
  // is made in the temporary folder and moved across.
  std::unique_ptr<PrivateFile> fresh(new PrivateFile(folder));
  if (fresh->path().empty() && platform.PathExists(folder.empty() ? "." : folder) && platform.TempFolder(&temp))
    fresh.reset(new PrivateFile(temp));
  return !fresh->path().empty() && fill(fresh->path()) && fresh->MoveTo(path);
}
