// A .pfs transfer list with any bytes in it, read through a real file as the
// program reads it.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <unistd.h>

#include <string>

#include "app/path_util.h"
#include "tests/fuzz/fuzz_check.h"
#include "transfer/transfer_list.h"

namespace {

// One file per fuzzing process, in memory where the machine has a folder for
// that, removed when the process ends (the path is made before the remover,
// so it is destroyed after it).
const std::string listPath = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                             "/quillet-fuzz-" + std::to_string(getpid()) + ".pfs";

struct RemoveAtExit {
  ~RemoveAtExit() { unlink(listPath.c_str()); }
} removeAtExit;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* f = fopen(listPath.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);

  TransferListReader reader;
  FUZZ_CHECK(reader.Open(listPath));
  std::string line;
  size_t lines = 0, bytes = 0;
  while (reader.NextLine(&line)) {
    // Every line takes at least one byte of the file, so the reader ends.
    FUZZ_CHECK(++lines <= size);
    FUZZ_CHECK(!line.empty() && line.size() <= kListPieceBytes);
    FUZZ_CHECK(line.find('\n') == std::string::npos && line.find('\0') == std::string::npos);
    FUZZ_CHECK(line.find('\x1a') == std::string::npos);
    FUZZ_CHECK(!IsBlank(static_cast<unsigned char>(line.back())));
    bytes += line.size();
  }
  FUZZ_CHECK(bytes <= size);
  // The end stays the end.
  FUZZ_CHECK(!reader.NextLine(&line));
  return 0;
}
