#include "tests/support/fake_platform.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>
#include <ftw.h>
#include <string.h>

#include <fstream>
#include <sstream>

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

int DefaultAnswer(unsigned style) {
  switch (style & 0xf) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNO: case MB_YESNOCANCEL: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
  }
}

}  // namespace

FakePlatform::FakePlatform() : previous_(nullptr) {
  SetPlatform(this);
}

FakePlatform::~FakePlatform() {
  if (!madeTemp_.empty()) RemoveTree(madeTemp_);
  SetPlatform(previous_);
}

std::vector<std::string> FakePlatform::ShownTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : shown) texts.push_back(m.text);
  return texts;
}

int FakePlatform::ShowMessage(const std::string& text, unsigned style) {
  shown.push_back({text, style});
  if (answers.empty()) return DefaultAnswer(style);
  int a = answers.front();
  answers.pop_front();
  return a;
}

int FakePlatform::ProfileInt(const char* section, const char* key, int fallback) {
  auto s = ini.find(section);
  if (s == ini.end()) return fallback;
  auto k = s->second.find(key);
  if (k == s->second.end()) return fallback;
  // Like GetPrivateProfileInt: leading decimal digits with an optional sign.
  return static_cast<int>(strtol(k->second.c_str(), nullptr, 10));
}

std::string FakePlatform::ProfileString(const char* section, const char* key,
                                        const char* fallback, size_t bufferSize) {
  std::string value = fallback;
  auto s = ini.find(section);
  if (s != ini.end()) {
    auto k = s->second.find(key);
    if (k != s->second.end()) value = k->second;
  }
  if (bufferSize > 0 && value.size() > bufferSize - 1) value.resize(bufferSize - 1);
  return value;
}

void FakePlatform::WriteProfileString(const char* section, const char* key,
                                      const std::string& value) {
  ini[section][key] = value;
  iniWrites.push_back(std::string(section) + "/" + key + "=" + value);
}

bool FakePlatform::ProgramPath(std::string* path) {
  if (!programPathAvailable) return false;
  *path = programPath;
  return true;
}

bool FakePlatform::PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// realpath() resolves "." and ".." and symbolic links, which stand in for the
// other spellings (8.3 names) of one file here.
std::string FakePlatform::FullPath(const std::string& path) {
  char* full = realpath(path.c_str(), nullptr);
  if (!full) return path;
  std::string result = full;
  free(full);
  return result;
}

bool FakePlatform::RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool FakePlatform::ReadFileBytes(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *bytes = s.str();
  return true;
}

bool FakePlatform::TempFolder(std::string* path) {
  if (!tempFolderAvailable) return false;
  if (tempFolder.empty()) {
    char tmpl[] = "/tmp/quillet-temp-XXXXXX";
    if (!mkdtemp(tmpl)) return false;
    madeTemp_ = tempFolder = std::string(tmpl) + "/";
  }
  *path = tempFolder;
  return true;
}

bool FakePlatform::CreateFolder(const std::string& path) { return mkdir(path.c_str(), 0700) == 0; }
bool FakePlatform::RemoveFolder(const std::string& path) { return rmdir(path.c_str()) == 0; }

bool FakePlatform::LoadResourceBytes(const char* type, int id, std::vector<uint8_t>* bytes) {
  auto r = resources.find(std::string(type) + "/" + std::to_string(id));
  if (r == resources.end()) return false;
  *bytes = r->second;
  return true;
}

TempDir::TempDir() {
  char tmpl[] = "/tmp/quillet-test-XXXXXX";
  path_ = mkdtemp(tmpl) ? tmpl : "/tmp";
}

TempDir::~TempDir() { RemoveTree(path_); }

void TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(File(name), std::ios::binary);
  out << bytes;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir))
      if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) names.push_back(entry->d_name);
    closedir(dir);
  }
  return names;
}

void RemoveTree(const std::string& path) { nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); }
