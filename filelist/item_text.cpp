#include "filelist/item_text.h"

#include "app/path_util.h"
#include "app/platform.h"

std::string FormatItemText(const DirEntry& entry) {
  // The size as printf's "%6d" gives it: right-aligned in six columns.
  std::string number = std::to_string(static_cast<int>(entry.size));
  if (number.size() < 6) number.insert(0, 6 - number.size(), ' ');
  return number + " " + entry.name;
}

bool NameFromItemText(const std::string& text, std::string* name) {
  // "%*d%s": white space, a signed number, then the next word.
  size_t i = 0, n = text.size();
  auto blank = [&](size_t k) { return IsBlank(static_cast<unsigned char>(text[k])); };
  while (i < n && blank(i)) ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = i;
  while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digits) return false;
  while (i < n && blank(i)) ++i;
  size_t start = i;
  while (i < n && !blank(i)) ++i;
  if (i == start) return false;
  *name = text.substr(start, i - start);
  return true;
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
