// The flash directory: one short connection, ismPFFSDir, and the parse of the
// directory text into entries and the device's summary line.
#ifndef QUILLET_DEVICE_DIRECTORY_H
#define QUILLET_DEVICE_DIRECTORY_H

#include <stdint.h>
#include <string>
#include <vector>

constexpr size_t kDirTextSize = 8192;
constexpr size_t kMaxDeviceName = 31;   // bytes, without the terminator

struct DirEntry {
  int32_t size = 0;
  std::string name;
};

class DirListing {
 public:
  std::vector<DirEntry> entries;   // device order
  std::string statusText;          // the summary line, trimmed

  // Reads the directory of the selected device; false (and empty) on any
  // failure. Clears both fields first.
  bool ReadDirectory();
  // The parse alone, on text of length bytes (stops at a zero byte); false
  // and empty when the text is not a valid directory text.
  bool Parse(const char* text, size_t length);
  void Clear();
};

#endif
