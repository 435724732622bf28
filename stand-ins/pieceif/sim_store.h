// Storage of the simulated devices in host folders: plain file helpers (ANSI
// Win32 or POSIX, so paths stay bytes in the ANSI code page), the escaping of
// flash names into host file names, and the per-device files. Nothing is
// cached: every access goes back to the files, because each process (the
// program, simctl, the tests) sees the same devices.
#ifndef QUILLET_STANDINS_PIECEIF_SIM_STORE_H
#define QUILLET_STANDINS_PIECEIF_SIM_STORE_H

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

namespace piecesim {
namespace store {

// Host files.
std::string Join(const std::string& folder, const std::string& name);
bool ReadHostFile(const std::string& path, std::string* bytes);
bool WriteHostFile(const std::string& path, const std::string& bytes);
bool AppendHostFile(const std::string& path, const std::string& bytes);
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
bool MakeFolder(const std::string& path);
bool RemoveFile(const std::string& path);
// Moves from over to, replacing a file already there.
bool MoveOver(const std::string& from, const std::string& to);
// Removes a folder with its files and subfolders.
bool RemoveTree(const std::string& path);
std::vector<std::string> ListFolder(const std::string& path);  // without . and ..
bool FileSize(const std::string& path, uint64_t* size);
// The lines of a text, without their "\n" (and a "\r" before it); a last line
// without "\n" counts too.
std::vector<std::string> SplitLines(const std::string& text);

// Flash names as host file names: every byte outside [a-z0-9._-] becomes %XX,
// and so do a trailing dot and the first letter of a reserved DOS device
// name (con, nul, com1, ...), which Windows would not store as written.
std::string EscapeName(const std::string& name);
bool UnescapeName(const std::string& file, std::string* name);
// What the device accepts as a file name: 1 to 31 bytes, no blank or
// control byte.
bool ValidFlashName(const char* name);

// Device folders.
std::string DeviceFolder(int index);
std::string FlashFolder(int index);
std::string DeviceFile(int index, const char* file);  // devN/<file>
std::string HomeFile(const char* file);               // <home>/<file>

struct FlashFile {
  std::string name;
  uint64_t size;
};
// The flash in device order: the names of the order file that have a host
// file, then host files the order file does not know, by name.
std::vector<FlashFile> LoadFlash(int index);
void SaveOrder(int index, const std::vector<FlashFile>& files);
std::string FlashPath(int index, const std::string& name);

using StateMap = std::map<std::string, std::string>;
StateMap LoadState(int index);
void SaveState(int index, const StateMap& state);
// The value of a key, or its default when the key is not set.
std::string StateValue(const StateMap& state, const std::string& key);
int64_t StateNumber(const StateMap& state, const std::string& key);

// Device memory from kMemoryBase to kMemoryEnd; false outside that range.
bool MemoryInRange(uint32_t address, uint64_t length);
bool LoadMemory(int index, uint32_t address, uint32_t length, std::string* bytes);
bool StoreMemory(int index, uint32_t address, const void* bytes, uint32_t length);

}  // namespace store
}  // namespace piecesim

#endif
