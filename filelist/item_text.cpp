#include "filelist/item_text.h"

#include "app/path_util.h"
#include "app/platform.h"

std::string ItemText(const DirEntry& entry) {
  // The size as printf's "%6d" gives it: right-aligned in six columns.
  std::string number = std::to_string(static_cast<int>(entry.size));
  if (number.size() < 6) number.insert(0, 6 - number.size(), ' ');
  return number + " " + entry.name;
}

bool NameGreater(const std::string& name, const std::string& other) {
  // std::string compares chars as unsigned bytes (char_traits<char>).
  return name.compare(other) > 0;
}

bool PathSelectsName(const PathList& paths, const std::string& name) {
  std::string fileName;   // compared as device text
  for (const std::string& path : paths)
    if (ThePlatform().DeviceText(HostFileName(path), &fileName) && EqualsIgnoreAsciiCase(fileName, name)) return true;
  return false;
}
