// The "Shell Icon Size" value as the registry may hold it: any type, any
// bytes, with or without a terminating zero, up to the 32-byte buffer.
#include <limits.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "settings/file_types.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/support/fake_platform.h"

namespace {

// The C library's reading of the same text, held at the int limits.
int Reference(const std::string& text) {
  std::string c = text.substr(0, text.find('\0'));
  long long n = strtoll(c.c_str(), nullptr, 10);
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}

class IconHost : public ShellHost {
 public:
  RegistryValue stored;
  std::vector<RegistryValue> writes;
  int resets = 0;
  int openKeys = 0;

  Key CreateKey(RegistryRoot, const char*) override { return nullptr; }
  Key OpenKey(RegistryRoot, const char*) override { ++openKeys; return this; }
  void CloseKey(Key) override { --openKeys; }
  bool QueryValue(Key, const char*, size_t bufferSize, RegistryValue* value) override {
    if (stored.bytes.size() > bufferSize) return false;
    *value = stored;
    return true;
  }
  bool SetValue(Key, const char*, const RegistryValue& value) override {
    writes.push_back(value);
    return true;
  }
  void DeleteValue(Key, const char*) override {}
  void DeleteKey(RegistryRoot, const char*) override {}
  bool SystemFolder(std::string*) override { return false; }
  Library LoadLibraryFile(const std::string&) override { return nullptr; }
  bool CallExport(Library, const char*, int32_t*) override { return false; }
  void FreeLibraryFile(Library) override {}
  void ResetIconMetrics() override { ++resets; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  int n = ParseIconSize(text);
  FUZZ_CHECK(n == Reference(text));
  std::string smaller = SmallerIconSizeText(text);
  FUZZ_CHECK(smaller == std::to_string(static_cast<long long>(n) - 1));
  if (n > INT_MIN) FUZZ_CHECK(ParseIconSize(smaller) == n - 1);

  FakePlatform platform;
  IconHost host;
  host.stored.type = data[0];
  host.stored.bytes = text;
  RefreshShellIcons(host);
  FUZZ_CHECK(host.openKeys == 0);
  if (text.size() > kIconSizeBufferBytes) {
    FUZZ_CHECK(host.writes.empty() && host.resets == 0);
    return 0;
  }
  // One step smaller, then exactly what was there, type and bytes alike.
  FUZZ_CHECK(host.writes.size() == 2 && host.resets == 2);
  FUZZ_CHECK(host.writes[0].type == kRegSz && host.writes[0].bytes == smaller + '\0');
  FUZZ_CHECK(host.writes[1].type == host.stored.type && host.writes[1].bytes == text);
  FUZZ_CHECK(platform.shown.empty());
  return 0;
}
