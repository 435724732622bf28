// One call into the vendor library that holds whichever calling convention
// the library was built with.
#ifndef QUILLET_DEVICE_NEUTRAL_CALL_WIN32_H
#define QUILLET_DEVICE_NEUTRAL_CALL_WIN32_H

#include <stdint.h>

// Calls function with count pointer-sized arguments and returns its 32-bit
// result.
extern "C" int32_t QuilletNeutralCall(const void* function, const uintptr_t* arguments, uint32_t count);

#endif
