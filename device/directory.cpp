#include "device/directory.h"

#include <string.h>

#include "app/path_util.h"
#include "device/connection.h"
#include "device/pieceif.h"

namespace {

// A cursor over one line of the directory text, with the conversions of
// the scan format "%*d:%d%s".
struct LineScanner {
  const char* p;
  const char* end;

  void SkipBlanks() {
    while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
  }
  // "%d": optional white space, an optional sign and at least one digit.
  // Values beyond 32 bits wrap, as the device's own numbers would.
  bool Integer(int32_t* value) {
    SkipBlanks();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p >= end || *p < '0' || *p > '9') return false;
    uint32_t v = 0;
    while (p < end && *p >= '0' && *p <= '9') v = v * 10 + static_cast<uint32_t>(*p++ - '0');
    *value = static_cast<int32_t>(negative ? 0u - v : v);
    return true;
  }
  bool Literal(char c) {
    if (p >= end || *p != c) return false;
    ++p;
    return true;
  }
  // "%s": optional white space and the next run of non-white-space bytes.
  bool Word(std::string* word) {
    SkipBlanks();
    const char* start = p;
    while (p < end && !IsBlank(static_cast<unsigned char>(*p))) ++p;
    if (p == start) return false;
    word->assign(start, p);
    return true;
  }
};

bool ScanEntry(const char* begin, const char* end, DirEntry* entry) {
  LineScanner s{begin, end};
  int32_t ignored;
  if (!s.Integer(&ignored) || !s.Literal(':') || !s.Integer(&entry->size)) return false;
  // A longer name would be cut and later commands would act on another file.
  return s.Word(&entry->name) && entry->name.size() <= kMaxDeviceName;
}

std::string Trim(const char* begin, const char* end) {
  while (begin < end && IsBlank(static_cast<unsigned char>(*begin))) ++begin;
  while (end > begin && IsBlank(static_cast<unsigned char>(end[-1]))) --end;
  return std::string(begin, end);
}

}  // namespace

void DirListing::Clear() {
  entries.clear();
  statusText.clear();
}

bool DirListing::Parse(const char* text, size_t length) {
  Clear();
  // The text ends at its zero byte, or at the end of the buffer if the
  // library left none.
  const char* stop = static_cast<const char*>(memchr(text, 0, length));
  const char* end = stop ? stop : text + length;
  const char* p = text;
  for (;;) {
    while (p < end && *p == '\n') ++p;   // a run of line feeds is one
    if (p == end) break;                 // no summary line
    const char* lineEnd = static_cast<const char*>(memchr(p, '\n', end - p));
    if (!lineEnd) lineEnd = end;
    if (*p != '+') {
      statusText = Trim(p, lineEnd);
      return true;
    }
    DirEntry entry;
    if (!ScanEntry(p + 1, lineEnd, &entry)) break;
    entries.push_back(entry);
    p = lineEnd;
  }
  Clear();
  return false;
}

bool DirListing::ReadDirectory() {
  Clear();
  if (!ConnectDevice()) return false;
  std::string buffer(kDirTextSize, '\0');
  int32_t status = ismPFFSDir(&buffer[0], static_cast<int32_t>(kDirTextSize), 0);
  bool ok = status == 0 && Parse(buffer.data(), buffer.size());
  DisconnectDevice();
  if (!ok) Clear();
  return ok;
}
