#include "stand-ins/pieceif/sim_store.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <set>

#include "stand-ins/pieceif/simulator.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace piecesim {
namespace store {

namespace {

#ifdef _WIN32
const char kSeparator = '\\';
#else
const char kSeparator = '/';
#endif

// Whether the path ends in a separator. In the ANSI code page the second byte
// of a double-byte character can be '\\', so the bytes are walked from the
// start.
bool EndsWithSeparator(const std::string& path) {
  bool last = false;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
#ifdef _WIN32
    if (IsDBCSLeadByte(c) && i + 1 < path.size()) {
      ++i;
      last = false;
      continue;
    }
#endif
    last = c == '\\' || c == '/';
  }
  return last;
}

bool IsPlainByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
}

// con, prn, aux, nul, com0..com9, lpt0..lpt9: Windows opens the device for
// these names whatever extension follows.
bool IsReservedStem(const std::string& name) {
  std::string stem = name.substr(0, name.find('.'));
  if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
  if (stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
      stem[3] >= '0' && stem[3] <= '9')
    return true;
  return false;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

const std::string kDefaults[][2] = {
    {"appstate", std::to_string(kStateRunning)},
    {"stoppedstate", std::to_string(kStateStopped)},
    {"capacity", std::to_string(kDefaultCapacity)},
    {"memtop", std::to_string(kDefaultMemoryTop)},
    {"paused", "0"},
    {"neverstops", "0"},
    {"channelbusy", "0"},
    {"playreads", "5"},
    {"playms", "0"},
    {"rate", "0"},
    {"simtag", "1"},
    {"shortwrites", "0"},
};

}  // namespace

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (EndsWithSeparator(folder)) return folder + name;
  return folder + kSeparator + name;
}

bool ReadHostFile(const std::string& path, std::string* bytes) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  std::string data;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, n);
  bool ok = !ferror(f);
  fclose(f);
  if (ok) bytes->swap(data);
  return ok;
}

static bool WriteMode(const std::string& path, const std::string& bytes, const char* mode) {
  FILE* f = fopen(path.c_str(), mode);
  if (!f) return false;
  bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (fclose(f) != 0) ok = false;
  return ok;
}

bool WriteHostFile(const std::string& path, const std::string& bytes) {
  return WriteMode(path, bytes, "wb");
}

bool AppendHostFile(const std::string& path, const std::string& bytes) {
  return WriteMode(path, bytes, "ab");
}

#ifdef _WIN32

bool IsFile(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) || IsFolder(path);
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool MoveOver(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA(Join(path, "*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(h, &data));
  FindClose(h);
  return names;
}

bool FileSize(const std::string& path, uint64_t* size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

static bool RemoveEmptyFolder(const std::string& path) {
  return RemoveDirectoryA(path.c_str()) != 0;
}

#else

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolder(const std::string& path) {
  return mkdir(path.c_str(), 0777) == 0 || IsFolder(path);
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool MoveOver(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  DIR* d = opendir(path.c_str());
  if (!d) return names;
  while (struct dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(d);
  return names;
}

bool FileSize(const std::string& path, uint64_t* size) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  *size = static_cast<uint64_t>(st.st_size);
  return true;
}

static bool RemoveEmptyFolder(const std::string& path) { return rmdir(path.c_str()) == 0; }

#endif

bool RemoveTree(const std::string& path) {
  if (!IsFolder(path)) return !IsFile(path) || RemoveFile(path);
  for (const auto& name : ListFolder(path)) {
    std::string child = Join(path, name);
    if (IsFolder(child))
      RemoveTree(child);
    else
      RemoveFile(child);
  }
  return RemoveEmptyFolder(path);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string EscapeName(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  bool reserved = IsReservedStem(name);
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    bool escape = !IsPlainByte(c) || (i == 0 && reserved) ||
                  (i + 1 == name.size() && c == '.');
    if (escape) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool UnescapeName(const std::string& file, std::string* name) {
  std::string out;
  for (size_t i = 0; i < file.size(); ++i) {
    if (file[i] != '%') {
      out += file[i];
      continue;
    }
    if (i + 2 >= file.size()) return false;
    int hi = HexValue(file[i + 1]), lo = HexValue(file[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  // Only names this side wrote count, so stray files in the folder are not
  // taken for flash files.
  if (out.empty() || EscapeName(out) != file) return false;
  *name = out;
  return true;
}

bool ValidFlashName(const char* name) {
  if (!name) return false;
  size_t n = strlen(name);
  if (n == 0 || n > 31) return false;
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c <= 0x20 || c == 0x7f) return false;
  }
  return true;
}

std::string DeviceFolder(int index) { return Join(Home(), "dev" + std::to_string(index)); }
std::string FlashFolder(int index) { return Join(DeviceFolder(index), "flash"); }
std::string DeviceFile(int index, const char* file) { return Join(DeviceFolder(index), file); }
std::string HomeFile(const char* file) { return Join(Home(), file); }

std::string FlashPath(int index, const std::string& name) {
  return Join(FlashFolder(index), EscapeName(name));
}

std::vector<FlashFile> LoadFlash(int index) {
  std::vector<FlashFile> files;
  std::set<std::string> seen;
  std::string order;
  ReadHostFile(DeviceFile(index, "order"), &order);
  for (const auto& name : SplitLines(order)) {
    if (name.empty() || seen.count(name)) continue;
    uint64_t size;
    if (!FileSize(FlashPath(index, name), &size)) continue;
    seen.insert(name);
    files.push_back({name, size});
  }
  std::vector<std::string> strays;
  for (const auto& file : ListFolder(FlashFolder(index))) {
    std::string name;
    if (UnescapeName(file, &name) && !seen.count(name)) strays.push_back(name);
  }
  std::sort(strays.begin(), strays.end());
  for (const auto& name : strays) {
    uint64_t size;
    if (FileSize(FlashPath(index, name), &size)) files.push_back({name, size});
  }
  return files;
}

void SaveOrder(int index, const std::vector<FlashFile>& files) {
  std::string text;
  for (const auto& f : files) text += f.name + "\n";
  WriteHostFile(DeviceFile(index, "order"), text);
}

StateMap LoadState(int index) {
  StateMap state;
  std::string text;
  ReadHostFile(DeviceFile(index, "state"), &text);
  for (const auto& line : SplitLines(text)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    state[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return state;
}

void SaveState(int index, const StateMap& state) {
  std::string text;
  for (const auto& kv : state) text += kv.first + "=" + kv.second + "\n";
  WriteHostFile(DeviceFile(index, "state"), text);
}

std::string StateValue(const StateMap& state, const std::string& key) {
  auto it = state.find(key);
  if (it != state.end()) return it->second;
  for (const auto& d : kDefaults)
    if (d[0] == key) return d[1];
  return std::string();
}

int64_t StateNumber(const StateMap& state, const std::string& key) {
  std::string value = StateValue(state, key);
  return strtoll(value.c_str(), nullptr, 0);
}

bool MemoryInRange(uint32_t address, uint64_t length) {
  return address >= kMemoryBase && address <= kMemoryEnd &&
         length <= static_cast<uint64_t>(kMemoryEnd - address);
}

bool LoadMemory(int index, uint32_t address, uint32_t length, std::string* bytes) {
  if (!MemoryInRange(address, length)) return false;
  // Bytes past the end of a short memory file read as zero.
  std::string out(length, '\0');
  FILE* f = fopen(DeviceFile(index, "memory.bin").c_str(), "rb");
  if (f) {
    if (fseek(f, static_cast<long>(address - kMemoryBase), SEEK_SET) == 0)
      (void)fread(&out[0], 1, length, f);
    fclose(f);
  }
  bytes->swap(out);
  return true;
}

bool StoreMemory(int index, uint32_t address, const void* bytes, uint32_t length) {
  if (!MemoryInRange(address, length)) return false;
  std::string path = DeviceFile(index, "memory.bin");
  FILE* f = fopen(path.c_str(), "r+b");
  if (!f) f = fopen(path.c_str(), "w+b");
  if (!f) return false;
  bool ok = fseek(f, static_cast<long>(address - kMemoryBase), SEEK_SET) == 0 &&
            (length == 0 || fwrite(bytes, 1, length, f) == length);
  if (fclose(f) != 0) ok = false;
  return ok;
}

}  // namespace store
}  // namespace piecesim
