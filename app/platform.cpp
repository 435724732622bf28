#include "app/platform.h"

#include "app/path_util.h"

namespace {
Platform* currentPlatform = nullptr;
}

Platform& ThePlatform() { return *currentPlatform; }
void SetPlatform(Platform* platform) { currentPlatform = platform; }

std::string HostTextOf(const std::string& deviceText) {
  std::string utf8, part;
  if (ThePlatform().HostText(deviceText, &utf8)) return utf8;
  utf8.clear();
  for (size_t i = 0; i < deviceText.size(); ++i) {   // character by character, passing over the bad ones
    size_t n = IsLeadByte(static_cast<unsigned char>(deviceText[i])) && i + 1 < deviceText.size() ? 2 : 1;
    if (ThePlatform().HostText(deviceText.substr(i, n), &part)) utf8 += part;
    i += n - 1;
  }
  return utf8;
}

int Show(const std::string& deviceText, unsigned style) {
  return ThePlatform().ShowMessage(HostTextOf(deviceText), style);
}

std::string CreatePrivateFile(const std::string& folder) {
  Platform& p = ThePlatform();
  for (uint32_t seed = p.TickCount(), i = 0; i < 100; ++i) {
    std::string name = "QLS" + Hex8(seed + i) + ".tmp";
    if (p.CreateNewFile(folder + name)) return name;
  }
  return std::string();
}

std::string StepText(const char* verb, size_t index, size_t count, const std::string& name) {
  return verb + (" " + std::to_string(static_cast<unsigned>(index)) + "/" +
                 std::to_string(static_cast<unsigned>(count)) + " ") + name;
}
