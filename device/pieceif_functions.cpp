#include "device/pieceif_functions.h"

std::vector<std::string> ExportNames(const PieceFunction& function) {
  const std::string name = function.name, bytes = "@" + std::to_string(function.argumentBytes);
  return {name, "_" + name + bytes, name + bytes, "_" + name};
}

size_t BindPieceFunctions(const std::function<void*(const char* exportName)>& find,
                          void* (&addresses)[kPieceFunctionCount]) {
  for (size_t i = 0; i < kPieceFunctionCount; ++i) {
    addresses[i] = nullptr;
    for (const std::string& name : ExportNames(kPieceFunctions[i]))
      if ((addresses[i] = find(name.c_str())) != nullptr) break;
    if (!addresses[i]) return i;
  }
  return kPieceFunctionCount;
}
