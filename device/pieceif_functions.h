// The 13 functions of pieceif.dll as the program binds them at run time: one
// table of their names and argument sizes, and the export names under which
// a 32-bit compiler may have written each. Nothing here is guessed from the
// library: every name is tried in a fixed order and the first one found wins.
#ifndef QUILLET_DEVICE_PIECEIF_FUNCTIONS_H
#define QUILLET_DEVICE_PIECEIF_FUNCTIONS_H

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

struct PieceFunction {
  const char* name;
  uint32_t argumentBytes;   // four per argument, as __stdcall decorates them
  bool changesDevice;       // writes the flash or memory, or stops or starts the application
};

enum PieceFunctionId {
  kIsmInitEx, kIsmExit, kIsmCmdW, kIsmCmdR, kIsmReadMem, kIsmWriteMem, kIsmAppStop,
  kIsmAppStart, kIsmGetVersion, kIsmPFFSDir, kIsmPFFSRead, kIsmPFFSWrite, kIsmPFFSDelete,
  kPieceFunctionCount
};

constexpr PieceFunction kPieceFunctions[kPieceFunctionCount] = {
    {"ismInitEx", 8, false},     {"ismExit", 0, false},      {"ismCmdW", 16, true},         {"ismCmdR", 16, false},
    {"ismReadMem", 12, false},   {"ismWriteMem", 12, true},  {"ismAppStop", 0, true},       {"ismAppStart", 0, true},
    {"ismGetVersion", 8, false}, {"ismPFFSDir", 12, false},  {"ismPFFSRead", 8, false},     {"ismPFFSWrite", 8, true},
    {"ismPFFSDelete", 4, true},
};

// The names a function may be exported under, in the order they are tried:
// the plain name, "_name@N", "name@N", "_name".
std::vector<std::string> ExportNames(const PieceFunction& function);

// Looks every function up with find (an export name to an address, or null)
// into addresses, and the names they were found under into names; the first
// function found under none of its names, or kPieceFunctionCount when all
// were found.
size_t BindPieceFunctions(const std::function<void*(const char* exportName)>& find,
                          void* (&addresses)[kPieceFunctionCount], std::string (&names)[kPieceFunctionCount]);

// What is told of the library bound: its full path (host text), its file
// version, and the export name each function was found under.
struct LibraryFacts {
  std::string path, version;
  std::vector<std::string> names;
};
// The library bound in this run, as the binding told it; empty facts before.
void KnowBoundLibrary(const LibraryFacts& facts);
const LibraryFacts& BoundLibrary();
// The file version "a.b.c.d" a version resource holds; "" without one.
std::string FileVersionOf(const std::vector<uint8_t>& resource);

#endif
