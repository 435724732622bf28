// The simulator linked into a process whose core makes its calls through
// device/library_call.cpp (the unit tests): those calls go to the
// simulator's functions, under their own names there.
#include "stand-ins/pieceif/sim_calls.h"
#include "device/pieceif.h"

#include <type_traits>

#include "device/library_call.h"
#include "stand-ins/pieceif/simulator.h"

namespace piecesim {
namespace {

template <class T>
T As(uintptr_t word) {
  if constexpr (std::is_pointer<T>::value)
    return reinterpret_cast<T>(word);
  else
    return static_cast<T>(word);
}

class InProcess : public LibraryBackend {
 public:
  int32_t Call(PieceFunctionId f, const uintptr_t* w, size_t) override {
    switch (f) {
      case kIsmInitEx: return ismInitEx(As<int32_t>(w[0]), As<int32_t>(w[1]));
      case kIsmExit: return ismExit();
      case kIsmCmdW: return ismCmdW(As<const void*>(w[0]), As<int32_t>(w[1]), As<const void*>(w[2]), As<int32_t>(w[3]));
      case kIsmCmdR: return ismCmdR(As<const void*>(w[0]), As<int32_t>(w[1]), As<void*>(w[2]), As<int32_t>(w[3]));
      case kIsmReadMem: return ismReadMem(As<void*>(w[0]), As<uint32_t>(w[1]), As<int32_t>(w[2]));
      case kIsmWriteMem: return ismWriteMem(As<const void*>(w[0]), As<uint32_t>(w[1]), As<int32_t>(w[2]));
      case kIsmAppStop: return ismAppStop();
      case kIsmAppStart: return ismAppStart();
      case kIsmGetVersion: return ismGetVersion(As<void*>(w[0]), As<int32_t>(w[1]));
      case kIsmPFFSDir: return ismPFFSDir(As<char*>(w[0]), As<int32_t>(w[1]), As<int32_t>(w[2]));
      case kIsmPFFSRead: return ismPFFSRead(As<const char*>(w[0]), As<const char*>(w[1]));
      case kIsmPFFSWrite: return ismPFFSWrite(As<const char*>(w[0]), As<const char*>(w[1]));
      case kIsmPFFSDelete: return ismPFFSDelete(As<const char*>(w[0]));
      default: return kPieceVersionFailed;
    }
  }
};

}  // namespace

void AnswerInProcess() {
  static InProcess simulator;
  SetLibraryBackend(&simulator);
}

}  // namespace piecesim
