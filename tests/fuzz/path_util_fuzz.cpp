// Host paths and names of any bytes through the code page 932 splitter and
// the case helpers.
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "app/path_util.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// For each byte of text, whether it is the second byte of a double-byte
// character.
std::vector<bool> TrailBytes(const std::string& text) {
  std::vector<bool> trail(text.size(), false);
  for (size_t k = 0; k + 1 < text.size(); ++k) {
    if (IsLeadByte(static_cast<unsigned char>(text[k]))) trail[++k] = true;
  }
  return trail;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path(reinterpret_cast<const char*>(data), size);

  std::vector<bool> trail = TrailBytes(path);
  PathParts p = SplitPath(path);
  FUZZ_CHECK(p.drive + p.folder + p.name + p.extension == path);
  FUZZ_CHECK(p.drive.empty() || (p.drive.size() == 2 && p.drive[1] == ':'));
  FUZZ_CHECK(p.extension.empty() || p.extension[0] == '.');
  FUZZ_CHECK(FileNamePart(path) == p.name + p.extension);
  FUZZ_CHECK(FolderPart(path) == p.drive + p.folder);
  // The folder ends at a real separator; the name and extension hold none.
  size_t base = p.drive.size();
  if (!p.folder.empty()) {
    size_t last = base + p.folder.size() - 1;
    FUZZ_CHECK(IsSeparator(path[last]) && !trail[last]);
  }
  for (size_t i = base + p.folder.size(); i < path.size(); ++i)
    FUZZ_CHECK(!IsSeparator(path[i]) || trail[i]);
  if (!p.extension.empty()) {
    size_t dot = path.size() - p.extension.size();
    FUZZ_CHECK(!trail[dot]);
    for (size_t i = dot + 1; i < path.size(); ++i)
      FUZZ_CHECK(path[i] != '.' || trail[i]);
  }

  std::string lower = LowerAscii(path);
  FUZZ_CHECK(lower.size() == path.size() && LowerAscii(lower) == lower);
  FUZZ_CHECK(EqualsIgnoreAsciiCase(path, lower) && EqualsIgnoreAsciiCase(lower, path));
  for (size_t i = 0; i < path.size(); ++i) {
    if (lower[i] == path[i]) continue;
    // Only single-byte capitals change, each to its own small letter.
    FUZZ_CHECK(!trail[i] && path[i] >= 'A' && path[i] <= 'Z' && lower[i] == path[i] + 32);
  }
  std::string multi = LowerMultibyte(path);
  FUZZ_CHECK(multi.size() == path.size() && LowerMultibyte(multi) == multi);
  // Lowering keeps every lead byte where it was, so the split is the same.
  PathParts m = SplitPath(multi);
  FUZZ_CHECK(m.drive.size() == p.drive.size() && m.folder.size() == p.folder.size());
  FUZZ_CHECK(m.name.size() == p.name.size() && m.extension.size() == p.extension.size());
  return 0;
}
