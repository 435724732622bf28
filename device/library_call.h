// Every call into the vendor library passes through here on its way to the
// library itself: the bound pieceif.dll on the device thread in the program,
// the simulator in the unit tests. Each call is seen as it starts and as it
// ends, so that what hangs on the device's state (the end of the session
// refused, the PC kept awake) follows the calls themselves.
#ifndef QUILLET_DEVICE_LIBRARY_CALL_H
#define QUILLET_DEVICE_LIBRARY_CALL_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "device/pieceif_functions.h"

// What makes the calls.
class LibraryBackend {
 public:
  virtual ~LibraryBackend() = default;
  // Calls function with its arguments, each one word as the library takes it.
  virtual int32_t Call(PieceFunctionId function, const uintptr_t* words, size_t count) = 0;
};

// One call, as it is seen.
struct LibraryCall {
  PieceFunctionId function = kPieceFunctionCount;
  // The host file (host text) that an ismPFFSRead or ismPFFSWrite reads or
  // writes; empty for the other functions.
  std::string hostFile;
};

class CallObserver {
 public:
  virtual ~CallObserver() = default;
  virtual void CallStarts(const LibraryCall& call) {}
  virtual void CallEnds(const LibraryCall& call, int32_t status) {}
};

// Without a backend every call fails as it would with no device.
void SetLibraryBackend(LibraryBackend* backend);
void SetCallObserver(CallObserver* observer);
// The host file that the next ismPFFSRead or ismPFFSWrite moves, as host
// text (the library is given it in the system's code page).
void NextCallMoves(const std::string& hostFile);
// The call that has started and not yet ended, or null.
const LibraryCall* CallUnderWay();

#endif
