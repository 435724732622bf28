// The tone the device beep plays: where it is put in device memory and the
// 820-byte sound block itself.
#ifndef QUILLET_DEVICE_BEEP_BLOCK_H
#define QUILLET_DEVICE_BEEP_BLOCK_H

#include <stddef.h>
#include <stdint.h>
#include <vector>

constexpr size_t kSoundBlockSize = 820;
constexpr uint32_t kSoundSampleCount = 800;
constexpr uint32_t kSoundChannel = 3;

// The borrowed region's start: 820 bytes below the memory top, on a multiple
// of 4 (unsigned arithmetic).
uint32_t SoundBlockAddress(uint32_t memoryTop);
// The block as it is written at address: header, then the fading square wave.
std::vector<uint8_t> BuildSoundBlock(uint32_t address);

#endif
