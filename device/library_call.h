// Every call into the vendor library passes through here on its way to the
// library itself: the bound pieceif.dll on the device thread in the program,
// the simulator in the unit tests. Each call is seen as it starts and as it
// ends, so that what hangs on the device's state (the end of the session
// refused, the PC kept awake) follows the calls themselves, and so that
// what was called, with what, how it ended and how long it took can be told
// afterwards: the last 200 calls are kept, and a trace may write each.
#ifndef QUILLET_DEVICE_LIBRARY_CALL_H
#define QUILLET_DEVICE_LIBRARY_CALL_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

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
  // writes, and its bytes as far as they are known; empty and 0 for the
  // other functions.
  std::string hostFile;
  uint64_t bytes = 0;
  // Its arguments as a reader wants them (host text): device names and host
  // paths as text, lengths, device addresses in hexadecimal, the command
  // channel's bytes; never the bytes of a file or of memory.
  std::string arguments;
  std::string started;   // the time of day, "12:34:56.789"
  uint32_t startTick = 0;
};

// The lines that tell of a call: as it starts ("12:34:56.789
// ismPFFSDelete("a.pex") ..."), as it ended ("... = 4 (12 ms)"), and as it
// still runs ("... (実行中)").
std::string CallStartLine(const LibraryCall& call);
std::string CallEndLine(const LibraryCall& call, int32_t status, uint32_t milliseconds);
std::string CallRunningLine(const LibraryCall& call);

// How long a call may run before the device is taken for one that does not
// answer: 3 s, and for a read or write the file's bytes at 4 KB/s (a slow
// USB 1.1 device moves a whole file in one call).
uint32_t CallLimitMs(const LibraryCall& call);

class CallObserver {
 public:
  virtual ~CallObserver() = default;
  virtual void CallStarts(const LibraryCall& call) {}
  virtual void CallEnds(const LibraryCall& call, int32_t status, uint32_t milliseconds) {}
};

// Without a backend every call fails as it would with no device.
void SetLibraryBackend(LibraryBackend* backend);
void AddCallObserver(CallObserver* observer);
void RemoveCallObserver(CallObserver* observer);
// The host file that the next ismPFFSRead or ismPFFSWrite moves, as host
// text (the library is given it in the system's code page), and its bytes.
void NextCallMoves(const std::string& hostFile, uint64_t bytes);
// The call that has started and not yet ended, or null.
const LibraryCall* CallUnderWay();

constexpr size_t kCallsKept = 200;
// The last calls, oldest first, one line each; one still running last.
std::vector<std::string> RecentCalls();
// The 32-byte version record ismGetVersion gave last in this run; false
// when none was read.
bool LastVersionRecord(uint8_t (&record)[32]);

#endif
