#include "app/platform.h"

namespace {
Platform* currentPlatform = nullptr;
}

Platform& ThePlatform() { return *currentPlatform; }
void SetPlatform(Platform* platform) { currentPlatform = platform; }
