// What the unit tests run the portable core on: a scriptable platform (boxes
// answered from a script and recorded, the INI file as a map, the host's own
// files), a list control in memory, and a fixture with a fresh simulated
// P/ECE whose call log the tests compare whole.
#ifndef QUILLET_TESTS_SUPPORT_FAKES_H
#define QUILLET_TESTS_SUPPORT_FAKES_H

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <stdint.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "app/operations.h"
#include "app/platform.h"
#include "filelist/file_list.h"
#include "filelist/item_text.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/texts.h"

using Strings = std::vector<std::string>;
std::string Read(const std::string& path);   // "<missing>" when there is none

struct Box { std::string text; unsigned style; };

class FakePlatform : public Platform {
 public:
  FakePlatform() { SetPlatform(this); }
  ~FakePlatform() override { SetPlatform(nullptr); }

  // Boxes take the scripted answers in order, then answerer's, then the
  // default of their buttons (OK, No, Abort: never Yes). Their texts are
  // kept as device text where code page 932 can hold them.
  std::deque<int> answers;
  std::function<int(const Box&)> answerer;
  std::vector<Box> shown;
  Strings Texts() const {
    Strings texts;
    for (const Box& box : shown) texts.push_back(box.text);
    return texts;
  }

  std::map<std::string, std::map<std::string, std::string>> ini;
  Strings iniWrites;   // "section/key=value", in order
  std::string programPath = "C:\\Tools\\Quillet.exe";
  bool programPathAvailable = true;
  std::string tempFolder;   // ends in '/'; empty: none can be had
  std::string ansiCodePage = "CP932";   // the system's, for the vendor library's paths
  Strings openedFolders;
  std::map<std::string, std::vector<uint8_t>> resources;   // "SRF/129"
  uint32_t now = 0;         // each TickCount and Sleep moves it on
  std::vector<uint32_t> sleeps;
  int waitDepth = 0;

  int ShowMessage(const std::string& text, unsigned style) override;
  void BeginWait() override { ++waitDepth; }
  void EndWait() override { --waitDepth; }
  int ProfileInt(const char* section, const char* key, int fallback) override {
    return Has(section, key) ? static_cast<int>(strtol(ini[section][key].c_str(), nullptr, 10)) : fallback;   // leading digits
  }
  std::string ProfileString(const char* section, const char* key, const std::string& fallback, size_t size) override {
    return (Has(section, key) ? ini[section][key] : fallback).substr(0, size - 1);
  }
  void WriteProfileString(const char* section, const char* key, const std::string& value) override {
    ini[section][key] = value, iniWrites.push_back(std::string(section) + "/" + key + "=" + value);
  }
  void RemoveProfileKey(const char* section, const char* key) override {
    ini[section].erase(key), iniWrites.push_back(std::string(section) + "/" + key + " removed");
  }
  bool ProgramPath(std::string* path) override { return *path = programPath, programPathAvailable; }
  bool PathExists(const std::string& path) override { return access(path.c_str(), F_OK) == 0; }
  // The host's files, as Windows would take them: by identity (links stand
  // in for the other spellings), names without their trailing dots and
  // blanks and in either letter case, and no path over 259 characters.
  bool SameFile(const std::string& a, const std::string& b) override;
  bool SameFileName(const std::string& a, const std::string& b) override;
  std::map<std::string, std::string> shortForms;
  std::string ShortPath(const std::string& path) override { return shortForms.count(path) ? shortForms[path] : path; }
  FILE* OpenForReading(const std::string& path) override { return fopen(path.c_str(), "rb"); }
  uint64_t FileSize(const std::string& path) override {
    struct stat s;
    return stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode) ? static_cast<uint64_t>(s.st_size) : 0;
  }
  bool CopyFile(const std::string& from, const std::string& to) override;
  bool moveFails = false;
  bool MoveFile(const std::string& from, const std::string& to) override {
    return !moveFails && Fits(from) && Fits(to) && rename(from.c_str(), to.c_str()) == 0;
  }
  bool RemoveFile(const std::string& path) override { return Fits(path) && unlink(path.c_str()) == 0; }
  bool CreateNewFile(const std::string& path) override;
  bool WriteWholeFile(const std::string& path, const std::string& bytes) override;
  bool TempFolder(std::string* path) override { return *path = tempFolder, !tempFolder.empty(); }
  bool CreateFolder(const std::string& path) override { return mkdir(path.c_str(), 0700) == 0; }
  bool RemoveFolder(const std::string& path) override { return rmdir(path.c_str()) == 0; }
  void OpenFolder(const std::string& path) override { openedFolders.push_back(path); }
  std::string logFolder;   // ends in '/'; empty: none can be had
  bool LogFolder(std::string* folder) override { return *folder = logFolder, !logFolder.empty(); }
  bool AppendToFile(const std::string& path, const std::string& bytes) override {
    FILE* file = Fits(path) ? fopen(path.c_str(), "ab") : nullptr;
    bool whole = file && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return file && fclose(file) == 0 && whole;
  }
  bool DeviceText(const std::string& utf8, std::string* cp932) override;
  bool HostText(const std::string& cp932, std::string* utf8) override;
  // The path itself, for the simulator reads host paths as they are here,
  // where the system's code page can say it in at most 259 bytes.
  bool LibraryPath(const std::string& path, std::string* ansi) override;
  Strings progress;   // "title done/total", a line a step
  size_t stopAfter = SIZE_MAX;   // a stop is asked for once this many steps were shown (inside an operation)
  void ShowProgress(const ProgressStep& step) override {
    progress.push_back(StepTitle(step) + " " + std::to_string(step.bytesDone) + "/" + std::to_string(step.bytesTotal));
    if (progress.size() >= stopAfter) TheOperations().RequestStop();
  }
  uint32_t TickCount() override { return ++now; }
  void Sleep(uint32_t ms) override { now += ms, sleeps.push_back(ms); }
  void LocalTime(int* h, int* m, int* s, int* ms) override { *h = 9, *m = 5, *s = 3, *ms = static_cast<int>(now % 1000); }
  bool LoadResourceBytes(const char* type, int id, std::vector<uint8_t>* bytes) override {
    auto r = resources.find(std::string(type) + "/" + std::to_string(id));
    return r != resources.end() && (*bytes = r->second, true);
  }

 private:
  bool Has(const char* section, const char* key) { return ini.count(section) && ini[section].count(key); }
  static bool Fits(const std::string& path);
};

// Directory entries of these names, each of size bytes.
std::vector<DirEntry> Entries(const Strings& names, int32_t size = 7);

// A fresh folder under /tmp, removed with the object.
class TempDir {
 public:
  TempDir() : path_("/tmp/quillet-test-XXXXXX") { mkdtemp(&path_[0]); }
  ~TempDir() { Clear(), rmdir(path_.c_str()); }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string Write(const std::string& name, const std::string& bytes) const;   // its path; makes its folder
  std::string Read(const std::string& name) const { return ::Read(File(name)); }
  Strings Entries() const;
  void Clear() const;   // removes everything inside

 private:
  std::string path_;
};

// A list box in memory: items, their selection, the caret, the modifiers.
class MemoryList : public ListControl {
 public:
  struct Item { DirEntry entry; bool selected; };
  std::vector<Item> items;
  std::string title = "untouched";
  int caret = -1;
  bool modifiers = false;
  int refuseAt = -1, insertions = 0;   // the nth insertion (0-based) is refused

  void ResetContent() override { items.clear(); }
  int Count() override { return static_cast<int>(items.size()); }
  const DirEntry* Entry(int index) override { return index >= 0 && index < Count() ? &items[index].entry : nullptr; }
  int Insert(int index, const DirEntry& entry) override {
    return insertions++ == refuseAt ? -1 : (items.insert(items.begin() + index, {entry, false}), index);
  }
  void Select(int index) override { items[index].selected = true; }
  bool Selected(int index) override { return index >= 0 && index < Count() && items[index].selected; }
  std::vector<int> SelectedIndexes(size_t max) override;
  int CaretIndex() override { return caret; }
  void SetTitle(const std::string& t) override { title = t; }
  bool ShiftOrCtrlDown() override { return modifiers; }
  Strings Texts() const {   // "*" marks the selected items
    Strings out;
    for (const Item& i : items) out.push_back((i.selected ? "*" : "") + ItemText(i.entry));
    return out;
  }
};

// A fresh simulated device 0, the settings at their defaults, an empty LRU
// list; afterwards no connection may be open and no wait cursor up.
class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // All of that again, device 0 holding files ("name=bytes") in capacity.
  void Reset(const Strings& files = {}, uint32_t capacity = piecesim::kDefaultCapacity);
  static Strings Calls(const Strings& only = {});   // the call log, of these functions only when named
  static std::string Device(const std::string& name);   // "<missing>" when absent

  FakePlatform platform;
  TempDir home, host;
};

#endif
