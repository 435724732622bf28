#include "device/pieceif_functions.h"

std::vector<std::string> ExportNames(const PieceFunction& function) {
  const std::string name = function.name, bytes = "@" + std::to_string(function.argumentBytes);
  return {name, "_" + name + bytes, name + bytes, "_" + name};
}

namespace {
LibraryFacts bound;
}  // namespace

void KnowBoundLibrary(const LibraryFacts& facts) { bound = facts; }
const LibraryFacts& BoundLibrary() { return bound; }

std::string FileVersionOf(const std::vector<uint8_t>& resource) {
  // VS_FIXEDFILEINFO: its signature, then the version's two 32-bit halves.
  auto word = [&](size_t at) {
    return static_cast<uint32_t>(resource[at]) | static_cast<uint32_t>(resource[at + 1]) << 8 |
           static_cast<uint32_t>(resource[at + 2]) << 16 | static_cast<uint32_t>(resource[at + 3]) << 24;
  };
  for (size_t at = 0; at + 16 <= resource.size(); at += 4) {
    if (word(at) != 0xFEEF04BD) continue;
    uint32_t high = word(at + 8), low = word(at + 12);
    return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." + std::to_string(low >> 16) + "." +
           std::to_string(low & 0xFFFF);
  }
  return "";
}

size_t BindPieceFunctions(const std::function<void*(const char* exportName)>& find,
                          void* (&addresses)[kPieceFunctionCount], std::string (&names)[kPieceFunctionCount]) {
  for (size_t i = 0; i < kPieceFunctionCount; ++i) {
    addresses[i] = nullptr;
    names[i].clear();
    for (const std::string& name : ExportNames(kPieceFunctions[i]))
      if ((addresses[i] = find(name.c_str())) != nullptr) {
        names[i] = name;
        break;
      }
    if (!addresses[i]) return i;
  }
  return kPieceFunctionCount;
}
