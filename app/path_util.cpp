#include "app/path_util.h"

#include <stdint.h>

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc);
}

namespace {

// Index one past the last separator, and of the last '.' after it (npos when
// none), stepping over double-byte characters of device text.
void Scan(const std::string& path, bool deviceText, size_t* nameStart, size_t* lastDot) {
  *nameStart = 0;
  *lastDot = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (deviceText && IsLeadByte(c) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (c == '\\' || c == '/') {
      *nameStart = i + 1;
      *lastDot = std::string::npos;
    } else if (c == '.') {
      *lastDot = i;
    }
  }
}

PathParts Split(const std::string& path, bool deviceText) {
  PathParts parts;
  size_t start = 0;
  if (path.size() >= 2 && path[1] == ':' && !IsLeadByte(static_cast<unsigned char>(path[0]))) {
    parts.drive = path.substr(0, 2);
    start = 2;
  }
  std::string rest = path.substr(start);
  size_t nameStart, lastDot;
  Scan(rest, deviceText, &nameStart, &lastDot);
  parts.folder = rest.substr(0, nameStart);
  if (lastDot == std::string::npos) {
    parts.name = rest.substr(nameStart);
  } else {
    parts.name = rest.substr(nameStart, lastDot - nameStart);
    parts.extension = rest.substr(lastDot);
  }
  return parts;
}

}  // namespace

PathParts SplitHostPath(const std::string& path) { return Split(path, false); }
PathParts SplitDeviceName(const std::string& name) { return Split(name, true); }

std::string HostFileName(const std::string& path) {
  PathParts p = SplitHostPath(path);
  return p.name + p.extension;
}

std::string DeviceFileName(const std::string& name) {
  PathParts p = SplitDeviceName(name);
  return p.name + p.extension;
}

std::string HostFolder(const std::string& path) {
  PathParts p = SplitHostPath(path);
  return p.drive + p.folder;
}

std::string JoinHostPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
  return folder + "\\" + name;
}

std::string FoldHostCase(const std::string& path) {
  std::string out = path;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t n = c < 0x80 ? 1 : c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
    uint32_t code = n == 1 ? c : c & (0x3f >> (n - 1));
    for (size_t k = 1; k < n && i + k < utf8.size(); ++k) code = code << 6 | (utf8[i + k] & 0x3f);
    i += n;
    if (code < 0x10000) {
      out += static_cast<char16_t>(code);
    } else {
      out += static_cast<char16_t>(0xd800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xdc00 + ((code - 0x10000) & 0x3ff));
    }
  }
  return out;
}

size_t Utf16Length(const std::string& utf8) { return Utf16(utf8).size(); }

bool CanBeFileName(const std::string& part) {
  if (part.empty() || part.back() == '.' || part.back() == ' ') return false;
  for (char c : part)
    if (static_cast<unsigned char>(c) < 0x20 || std::string("\\/:*?\"<>|").find(c) != std::string::npos) return false;
  // The device names hold whatever comes before the first dot, blanks at its
  // end dropped.
  std::string base = FoldHostCase(part.substr(0, part.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  if (base == "con" || base == "prn" || base == "aux" || base == "nul") return false;
  return !(base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '1' &&
           base[3] <= '9');
}

bool HostPathBelow(const std::string& name, bool flat, std::string* key) {
  key->clear();
  for (size_t start = 0, end; start <= name.size(); start = end + 1) {
    end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    // "sub\.\x" is sub\x; the last part must name the file itself.
    if (part == "." && end < name.size()) continue;
    if (!CanBeFileName(part)) return false;
    *key = (flat || key->empty() ? "" : *key + "\\") + part;
  }
  return true;
}

std::string Hex8(uint32_t value) {
  std::string digits(8, '0');
  for (size_t i = digits.size(); i-- > 0; value >>= 4) digits[i] = "0123456789ABCDEF"[value & 0xF];
  return digits;
}

std::string LowerAscii(const std::string& text) {
  std::string out = text;
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c) && i + 1 < out.size()) {
      ++i;
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c - 'A' + 'a');
    }
  }
  return out;
}

std::string LowerMultibyte(const std::string& text) {
  std::string out = text;
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c) && i + 1 < out.size()) {
      unsigned code = c << 8 | static_cast<unsigned char>(out[i + 1]);
      unsigned lower = code;
      if (code >= 0x8260 && code <= 0x8279) lower = code + 0x21;        // Ａ..Ｚ
      else if (code >= 0x839f && code <= 0x83b6) lower = code + 0x20;   // Α..Ω
      else if (code >= 0x8440 && code <= 0x844e) lower = code + 0x30;   // А..О
      else if (code >= 0x844f && code <= 0x8460) lower = code + 0x31;   // П..Я (0x847f is unused)
      out[i] = static_cast<char>(lower >> 8);
      out[i + 1] = static_cast<char>(lower & 0xff);
      ++i;
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c - 'A' + 'a');
    }
  }
  return out;
}

bool EqualsIgnoreAsciiCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}
