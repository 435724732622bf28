#include "tests/support/fakes.h"

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <wctype.h>
#include <iconv.h>
#include <ftw.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <sstream>

#include "app/operations.h"
#include "app/path_util.h"
#include "app/settings_store.h"
#include "device/connection.h"

namespace {
// The core's calls go to the simulator, and the operations see them as in
// the program.
const bool inProcess = (piecesim::AnswerInProcess(), AddCallObserver(&TheOperations()), true);
}  // namespace

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return in ? all.str() : "<missing>";
}

int FakePlatform::ShowMessage(const std::string& text, unsigned style) {
  std::string device;
  shown.push_back({DeviceText(text, &device) ? device : text, style});
  int answer = !answers.empty() ? answers.front() : answerer ? answerer(shown.back())
             : (style & 0xf) == MB_ABORTRETRYIGNORE ? IDABORT : (style & 0xf) == MB_YESNO ? IDNO : IDOK;
  if (!answers.empty()) answers.pop_front();
  return answer;
}

bool FakePlatform::Fits(const std::string& path) { return Utf16Length(path) <= 259; }

bool FakePlatform::SameFile(const std::string& a, const std::string& b) {
  struct stat x, y;
  return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool FakePlatform::SameFileName(const std::string& a, const std::string& b) {
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  auto stored = [](const std::string& name) {
    std::u16string wide = Utf16(name);
    while (!wide.empty() && (wide.back() == u'.' || wide.back() == u' ')) wide.pop_back();
    for (char16_t& c : wide) c = static_cast<char16_t>(towupper_l(c, utf8));
    return wide;
  };
  return stored(a) == stored(b);
}

bool FakePlatform::CreateNewFile(const std::string& path) {
  int file = Fits(path) ? open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600) : -1;
  return file >= 0 && close(file) == 0;
}

bool FakePlatform::WriteWholeFile(const std::string& path, const std::string& bytes) {
  return Fits(path) && static_cast<bool>(std::ofstream(path, std::ios::binary) << bytes);
}

bool FakePlatform::CopyFile(const std::string& from, const std::string& to) {
  std::string bytes = Read(from);
  return bytes != "<missing>" && Fits(from) && Fits(to) && static_cast<bool>(std::ofstream(to, std::ios::binary) << bytes);
}

namespace {
// iconv without substitutes: false where a character has no form in `to`.
bool Convert(const char* from, const char* to, const std::string& in, std::string* out) {
  iconv_t cd = iconv_open(to, from);
  std::string buffer(in.size() * 4 + 4, '\0');
  char *source = const_cast<char*>(in.data()), *target = &buffer[0];
  size_t left = in.size(), room = buffer.size();
  bool ok = iconv(cd, &source, &left, &target, &room) != static_cast<size_t>(-1);
  iconv_close(cd);
  *out = buffer.substr(0, buffer.size() - room);
  return ok;
}
}  // namespace

bool FakePlatform::DeviceText(const std::string& utf8, std::string* cp932) { return Convert("UTF-8", "CP932", utf8, cp932); }
bool FakePlatform::HostText(const std::string& cp932, std::string* utf8) { return Convert("CP932", "UTF-8", cp932, utf8); }

bool FakePlatform::LibraryPath(const std::string& path, std::string* ansi) {
  std::string said;
  return Convert("UTF-8", ansiCodePage.c_str(), path, &said) && said.size() <= 259 && (*ansi = path, true);
}

namespace {
int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  if (name.find('/') != std::string::npos) mkdir(File(name.substr(0, name.rfind('/'))).c_str(), 0700);
  std::ofstream(File(name), std::ios::binary) << bytes;
  return File(name);
}


Strings TempDir::Entries() const {
  Strings names;
  DIR* dir = opendir(path_.c_str());
  while (dirent* e = dir ? readdir(dir) : nullptr)
    if (strcmp(e->d_name, ".") && strcmp(e->d_name, "..")) names.push_back(e->d_name);
  if (dir) closedir(dir);
  return names;
}

void TempDir::Clear() const {
  for (const std::string& name : Entries()) nftw(File(name).c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::vector<DirEntry> Entries(const Strings& names, int32_t size) {
  std::vector<DirEntry> entries;
  for (const std::string& name : names) entries.push_back({size, name});
  return entries;
}

std::vector<int> MemoryList::SelectedIndexes(size_t max) {
  std::vector<int> out;
  for (int i = 0; i < Count() && out.size() < max; ++i)
    if (items[i].selected) out.push_back(i);
  return out;
}

void SimTest::SetUp() {
  piecesim::SetHome(home.path());
  Reset();
}

void SimTest::Reset(const Strings& files, uint32_t capacity) {
  piecesim::ResetAll();
  piecesim::CreateDevice(0, capacity);
  for (const std::string& f : files) piecesim::PutFile(0, f.substr(0, f.find('=')), f.substr(f.find('=') + 1));
  deviceIndex = 0;
  AppSettings = AppSettingsRecord();
  LruList.clear();
  platform.shown.clear(), platform.answers.clear(), platform.now = 0, platform.ansiCodePage = "CP932", platform.moveFails = false;
}

void SimTest::TearDown() {
  EXPECT_EQ(0, piecesim::OpenConnections()) << "a connection was left open";
  EXPECT_EQ(0, platform.waitDepth) << "the wait cursor was left up";
}

Strings SimTest::Calls(const Strings& only) {
  Strings out;
  for (const std::string& line : piecesim::CallLog())
    if (only.empty() || std::find(only.begin(), only.end(), line.substr(0, line.find('('))) != only.end()) out.push_back(line);
  return out;
}

std::string SimTest::Device(const std::string& name) {
  std::string bytes;
  return piecesim::GetFile(0, name, &bytes) ? bytes : "<missing>";
}
