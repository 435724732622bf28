// Command lines and hand-over texts: any bytes, cut at the first zero as the
// receiver's copy is.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "app/path_list.h"
#include "app/path_util.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  const char* c = text.c_str();
  size_t length = strlen(c);

  PathList list{"kept"};
  SplitPathList(c, list);
  FUZZ_CHECK(!list.empty() && list.front() == "kept");
  size_t bytes = 0;
  size_t from = 0;
  for (size_t i = 1; i < list.size(); ++i) {
    const std::string& path = list[i];
    FUZZ_CHECK(!path.empty());
    FUZZ_CHECK(path.find('\0') == std::string::npos);
    // Paths come out in text order, each a piece of the text.
    size_t at = std::string(c, length).find(path, from);
    FUZZ_CHECK(at != std::string::npos);
    from = at + path.size();
    bytes += path.size();
  }
  FUZZ_CHECK(bytes <= length);
  // A path without quotes or blanks in it is split the same however it is
  // quoted.
  for (size_t i = 1; i < list.size(); ++i) {
    const std::string& path = list[i];
    bool plain = path.find('"') == std::string::npos;
    for (char ch : path) plain = plain && !IsBlank(static_cast<unsigned char>(ch));
    if (!plain) continue;
    PathList quoted;
    SplitPathList(("\"" + path + "\"").c_str(), quoted);
    FUZZ_CHECK(quoted.size() == 1 && quoted[0] == path);
  }

  const char* args = ArgumentText(c);
  FUZZ_CHECK(args >= c && args <= c + length);
  FUZZ_CHECK(*args == '\0' || static_cast<unsigned char>(*args) > ' ');
  return 0;
}
