// Host files for the vendor library, which names them in the system's ANSI
// code page in at most 259 bytes. A host path it cannot be given so goes
// through a stage: a private copy under an ASCII name in the temporary
// folder, copied there before a write and moved to its real name after a
// read, and always removed. Nothing is lost on any failure.
#ifndef QUILLET_DEVICE_LIBRARY_PATH_H
#define QUILLET_DEVICE_LIBRARY_PATH_H

#include <stdint.h>

#include <string>

// The longest host path the library takes, in characters.
constexpr size_t kMaxHostPath = 259;

// The statuses of ismPFFSWrite and ismPFFSRead for a host file given by its
// UTF-8 path; -1 when the file cannot be handed to the library at all.
// bytes: what the call moves, as far as it is known, by which a call is
// judged late.
int32_t WriteFromHost(const std::string& deviceName, const std::string& hostPath, uint64_t bytes);
int32_t ReadToHost(const std::string& deviceName, const std::string& hostPath, uint64_t bytes);

// A write refused for want of room, in either of the library's two ways.
bool IsFlashFull(int32_t status);

#endif
