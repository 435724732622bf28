#include "readout/host_names.h"

#include "app/path_util.h"
#include "app/platform.h"

namespace {

const char kNotHostNames[] = "次のファイルはPCのファイル名にできません。";

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

Placement PlaceFiles(const std::vector<DirEntry>& entries, const std::string& folder, bool flat,
                     const std::vector<std::string>& reserved) {
  Placement placement;
  std::vector<std::string> taken = reserved;
  for (const DirEntry& entry : entries) {
    FileToSave file{entry.name, "", entry.size > 0 ? static_cast<uint64_t>(entry.size) : 0};
    std::string key;
    bool ok = ThePlatform().HostText(entry.name, &file.hostPath) && HostPathBelow(file.hostPath, flat, &key);
    for (const std::string& other : taken) ok = ok && !Clash(other, key);
    if (!ok) {
      placement.refused.push_back(entry.name);
      continue;
    }
    taken.push_back(key);
    file.hostPath = folder + (flat ? HostFileName(file.hostPath) : file.hostPath);
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
