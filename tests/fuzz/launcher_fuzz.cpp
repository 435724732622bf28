// A launcher image of any bytes: the name-field search and the section walk
// that run before anything reaches the device.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <set>
#include <vector>

#include "device/launcher_image.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> image(data, data + size);

  std::vector<LauncherSection> sections{{1, 2, 3}};
  if (LauncherSections(image, &sections)) {
    for (const LauncherSection& s : sections) {
      FUZZ_CHECK(s.offset != 0 && s.size != 0);
      FUZZ_CHECK(s.offset <= image.size() && s.size <= image.size() - s.offset);
    }
    // Each section comes from a header of its own, wholly inside the image.
    if (!sections.empty())
      FUZZ_CHECK(sections.size() + kLauncherSectionHeaderSize - 1 <= image.size());
  }

  long field = FindLauncherNameField(image);
  if (field < 0) return 0;
  size_t at = static_cast<size_t>(field);
  FUZZ_CHECK(at + kLauncherNameFieldSize <= image.size());
  FUZZ_CHECK(memcmp(&image[at], kLauncherNameField, kLauncherNameFieldSize) == 0);
  // The first field is found: none starts before it.
  for (size_t i = 0; i < at; ++i)
    FUZZ_CHECK(memcmp(&image[i], kLauncherNameField, kLauncherNameFieldSize) != 0);

  // The longest name that fits, from the image's own last bytes.
  std::string name(reinterpret_cast<const char*>(data) + size - 31, 31);
  std::vector<uint8_t> patched = image;
  PutLauncherName(&patched, at, name);
  FUZZ_CHECK(patched.size() == image.size());
  FUZZ_CHECK(memcmp(&patched[at], name.data(), name.size()) == 0 && patched[at + 31] == 0);
  FUZZ_CHECK(memcmp(patched.data(), image.data(), at) == 0);
  size_t after = at + kLauncherNameFieldSize;
  FUZZ_CHECK(memcmp(patched.data() + after, image.data() + after, image.size() - after) == 0);
  return 0;
}
