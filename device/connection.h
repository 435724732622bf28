// The connection to the selected P/ECE and the four commands of the library's
// command channel. Every device operation opens its own connection and closes
// it before it returns.
#ifndef QUILLET_DEVICE_CONNECTION_H
#define QUILLET_DEVICE_CONNECTION_H

#include <stdint.h>

// The device to talk to, counted from 0; not saved.
extern int32_t deviceIndex;

// Opens a connection to deviceIndex, falling back to device 0 (and setting
// deviceIndex to 0) when no device answers there.
bool ConnectDevice();
// Closes it; true when ismExit returned 0 (callers ignore it).
bool DisconnectDevice();

// Command 0x10: 1 pauses the device application, 0 lets it run on.
int32_t SetAppPaused(uint8_t flag);
// Command 7: writes value to a channel (channel 3 with a block address plays it).
int32_t WriteChannelValue(uint32_t channel, uint32_t value);
// Command 6: reads a signed 16-bit channel value, widened with its sign.
int32_t ReadChannelValue(uint32_t channel, int32_t* result);
// Command 0x11: the application state byte and the 32-bit value.
int32_t QueryAppStatus(uint32_t* state, uint32_t* value);

#endif
