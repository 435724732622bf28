// List box item texts: the name read back from any text, and the round trip
// of every entry the directory parse can give.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "app/path_util.h"
#include "filelist/directory.h"
#include "filelist/item_text.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);

  std::string name = "untouched";
  if (NameFromItemText(text, &name)) {
    FUZZ_CHECK(!name.empty() && text.find(name) != std::string::npos);
    for (char c : name) FUZZ_CHECK(!IsBlank(static_cast<unsigned char>(c)));
  } else {
    FUZZ_CHECK(name == "untouched");
  }

  // The first bytes are the size, the rest the name as the device gave it.
  if (size < 4) return 0;
  DirEntry entry;
  uint32_t bits;
  memcpy(&bits, data, 4);
  entry.size = static_cast<int32_t>(bits);
  entry.name = text.substr(4, kMaxDeviceName);
  bool deviceName = !entry.name.empty();
  for (char c : entry.name) deviceName = deviceName && !IsBlank(static_cast<unsigned char>(c));
  if (!deviceName) return 0;
  std::string item = FormatItemText(entry);
  std::string back;
  FUZZ_CHECK(NameFromItemText(item, &back));
  FUZZ_CHECK(back == entry.name);
  return 0;
}
