// The directory text as the device library hands it over: any bytes, with or
// without a terminating zero.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>

#include "app/path_util.h"
#include "filelist/directory.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  DirListing listing;
  // Something left over from an earlier read must not survive the parse.
  listing.entries.push_back(DirEntry{1, "stale"});
  listing.statusText = "stale";
  bool ok = listing.Parse(text, size);

  if (!ok) {
    FUZZ_CHECK(listing.entries.empty() && listing.statusText.empty());
    return 0;
  }
  const char* zero = static_cast<const char*>(memchr(text, 0, size));
  size_t length = zero ? static_cast<size_t>(zero - text) : size;
  // Every entry line ends in a line feed before the summary line starts.
  size_t feeds = static_cast<size_t>(std::count(text, text + length, '\n'));
  FUZZ_CHECK(listing.entries.size() <= feeds);
  for (const DirEntry& e : listing.entries) {
    FUZZ_CHECK(!e.name.empty() && e.name.size() <= kMaxDeviceName);
    for (char c : e.name) FUZZ_CHECK(c != '\0' && !IsBlank(static_cast<unsigned char>(c)));
  }
  const std::string& s = listing.statusText;
  FUZZ_CHECK(s.find('\0') == std::string::npos && s.find('\n') == std::string::npos);
  if (!s.empty()) {
    FUZZ_CHECK(!IsBlank(static_cast<unsigned char>(s.front())));
    FUZZ_CHECK(!IsBlank(static_cast<unsigned char>(s.back())));
  }
  // The same text read a second time gives the same listing.
  DirListing again;
  FUZZ_CHECK(again.Parse(text, size));
  FUZZ_CHECK(again.entries.size() == listing.entries.size() && again.statusText == s);
  return 0;
}
