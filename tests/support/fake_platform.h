// A scriptable platform for the unit tests: message boxes are answered from a
// script and recorded, the INI file is a map, files are the host's own.
#ifndef QUILLET_TESTS_SUPPORT_FAKE_PLATFORM_H
#define QUILLET_TESTS_SUPPORT_FAKE_PLATFORM_H

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/platform.h"

struct ShownMessage {
  std::string text;
  unsigned style;
};

class FakePlatform : public Platform {
 public:
  FakePlatform();
  ~FakePlatform() override;

  // Answers for the next boxes, in order; a box with no scripted answer gets
  // the default answer of its buttons (OK, Yes is never assumed: No, Abort).
  void Answer(int answer) { answers.push_back(answer); }
  std::deque<int> answers;
  std::vector<ShownMessage> shown;
  std::vector<std::string> ShownTexts() const;

  // INI: section -> key -> value; every write is also logged as "section/key=value".
  std::map<std::string, std::map<std::string, std::string>> ini;
  std::vector<std::string> iniWrites;

  std::string programPath = "C:\\Tools\\Quillet.exe";
  bool programPathAvailable = true;
  std::string tempFolder;              // host folder; empty = make one
  bool tempFolderAvailable = true;
  std::vector<std::string> openedFolders;
  std::map<std::string, std::vector<uint8_t>> resources;  // "SRF/129"
  uint32_t now = 0;                    // advanced by Sleep and each TickCount
  uint32_t tickStep = 1;
  std::vector<uint32_t> sleeps;
  int waitDepth = 0;
  int waitBegins = 0;

  int ShowMessage(const std::string& text, unsigned style) override;
  void BeginWait() override { ++waitDepth; ++waitBegins; }
  void EndWait() override { --waitDepth; }
  int ProfileInt(const char* section, const char* key, int fallback) override;
  std::string ProfileString(const char* section, const char* key, const char* fallback,
                            size_t bufferSize) override;
  void WriteProfileString(const char* section, const char* key, const std::string& value) override;
  bool ProgramPath(std::string* path) override;
  bool PathExists(const std::string& path) override;
  std::string FullPath(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool ReadFileBytes(const std::string& path, std::string* bytes) override;
  bool TempFolder(std::string* path) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  void OpenFolder(const std::string& path) override { openedFolders.push_back(path); }
  uint32_t TickCount() override { now += tickStep; return now; }
  void Sleep(uint32_t ms) override { sleeps.push_back(ms); now += ms; }
  bool LoadResourceBytes(const char* type, int id, std::vector<uint8_t>* bytes) override;

 private:
  Platform* previous_;
  std::string madeTemp_;
};

// The names in a host folder (without "." and ".."), and removal of a tree.
std::vector<std::string> FolderEntries(const std::string& folder);
void RemoveTree(const std::string& path);

// A fresh folder under /tmp for one test, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

#endif
