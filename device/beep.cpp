#include "device/beep.h"

#include "app/platform.h"
#include "app/settings_store.h"
#include "device/beep_block.h"
#include "device/connection.h"
#include "device/pieceif.h"

namespace {

constexpr size_t kVersionRecordSize = 32;
constexpr size_t kMemoryTopOffset = 20;
constexpr uint32_t kPollMs = 10;
constexpr uint32_t kTimeoutMs = 1000;
constexpr uint32_t kFirstPlayWaitMs = 50;

void PutLittleEndian32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t LittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Polls until the device application reports the stopped state (low two bits
// 01); false on a failed query or after the time-out.
bool WaitUntilStopped() {
  Platform& platform = ThePlatform();
  uint32_t start = platform.TickCount();
  for (;;) {
    uint32_t state = 0;
    if (QueryAppStatus(&state, nullptr) != 0) return false;
    if ((state & 3) == 1) return true;
    platform.Sleep(kPollMs);
    if (platform.TickCount() - start >= kTimeoutMs) return false;
  }
}

// Polls until the channel reads 0 (the block has been played). Every way out
// leads to the restore, so there is nothing to report.
void WaitUntilPlayed() {
  Platform& platform = ThePlatform();
  uint32_t start = platform.TickCount();
  for (;;) {
    int32_t value = 0;
    if (ReadChannelValue(kSoundChannel, &value) != 0 || value == 0) return;
    platform.Sleep(kPollMs);
    if (platform.TickCount() - start >= kTimeoutMs) return;
  }
}

// The part of the beep that runs while the application is paused; afterwards
// the caller resumes it.
void PlayWhilePaused(uint32_t address, const std::vector<uint8_t>& block) {
  if (!WaitUntilStopped()) return;
  std::vector<uint8_t> saved(kSoundBlockSize);
  if (ismReadMem(saved.data(), address, kSoundBlockSize) != 0) return;
  if (ismWriteMem(block.data(), address, kSoundBlockSize) == 0 &&
      WriteChannelValue(kSoundChannel, address) == 0) {
    ThePlatform().Sleep(kFirstPlayWaitMs);
    WaitUntilPlayed();
  }
  // The borrowed bytes belong to the paused application: a failed restore is
  // tried once more rather than leaving the sound block in its memory.
  if (ismWriteMem(saved.data(), address, kSoundBlockSize) != 0)
    ismWriteMem(saved.data(), address, kSoundBlockSize);
}

}  // namespace

uint32_t SoundBlockAddress(uint32_t memoryTop) {
  return (memoryTop - static_cast<uint32_t>(kSoundBlockSize)) & ~3u;
}

std::vector<uint8_t> BuildSoundBlock(uint32_t address) {
  std::vector<uint8_t> block(kSoundBlockSize, 0);
  PutLittleEndian32(block, 4, address + 20);
  PutLittleEndian32(block, 8, kSoundSampleCount);
  for (uint32_t i = 0; i < kSoundSampleCount; ++i) {
    uint32_t halfPeriod = (i * 1600) / 16000;
    int amplitude = static_cast<int>((101600 - 127 * i) / 800);
    block[20 + i] = static_cast<uint8_t>(halfPeriod % 2 == 0 ? 127 + amplitude : 127 - amplitude);
  }
  return block;
}

void BeepDevice() {
  if (!AppSettings.beep) return;
  if (!ConnectDevice()) return;
  uint8_t version[kVersionRecordSize] = {};
  if (ismGetVersion(version, 1) == kPieceVersionFailed) {
    DisconnectDevice();
    return;
  }
  uint32_t address = SoundBlockAddress(LittleEndian32(version + kMemoryTopOffset));
  std::vector<uint8_t> block = BuildSoundBlock(address);
  if (SetAppPaused(1) != 0) {
    DisconnectDevice();
    return;
  }
  PlayWhilePaused(address, block);
  // Nothing tells the user about a beep, so a refused resume is sent once
  // more rather than leaving the application silently paused.
  if (SetAppPaused(0) != 0) SetAppPaused(0);
  DisconnectDevice();
}
