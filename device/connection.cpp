#include "device/connection.h"

#include "device/pieceif.h"

int32_t deviceIndex = 0;

bool ConnectDevice() {
  ismExit();   // a connection left open by anything before is closed
  if (ismInitEx(deviceIndex, 0) == 0) return true;
  if (deviceIndex == 0) return false;
  deviceIndex = 0;
  ismExit();
  return ismInitEx(0, 0) == 0;
}

// A close that fails is tried once more: a connection left open would hold
// the device past the operation (the PAUSE window waits with none open).
bool DisconnectDevice() { return ismExit() == 0 || ismExit() == 0; }

int32_t SetAppPaused(uint8_t flag) {
  uint8_t command[2] = {0x10, flag};
  return ismCmdW(command, sizeof command, nullptr, 0);
}

int32_t WriteChannelValue(uint32_t channel, uint32_t value) {
  uint8_t command[6] = {0x07, static_cast<uint8_t>(channel),
                        static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return ismCmdW(command, sizeof command, nullptr, 0);
}

int32_t ReadChannelValue(uint32_t channel, int32_t* result) {
  uint8_t buffer[2] = {0x06, static_cast<uint8_t>(channel)};
  int32_t status = ismCmdR(buffer, 2, buffer, 2);
  if (status == 0 && result)
    *result = static_cast<int16_t>(static_cast<uint16_t>(buffer[0] | buffer[1] << 8));
  return status;
}

int32_t QueryAppStatus(uint32_t* state, uint32_t* value) {
  uint8_t buffer[12] = {0x11};
  int32_t status = ismCmdR(buffer, 1, buffer, 12);
  if (status == 0) {
    if (state) *state = buffer[0];
    if (value)
      *value = static_cast<uint32_t>(buffer[8]) | static_cast<uint32_t>(buffer[9]) << 8 |
               static_cast<uint32_t>(buffer[10]) << 16 | static_cast<uint32_t>(buffer[11]) << 24;
  }
  return status;
}
