#include "device/launcher.h"

#include <stdio.h>
#include <string.h>

#include <new>
#include <set>

#include "app/messages.h"
#include "app/path_util.h"
#include "app/platform.h"
#include "device/connection.h"
#include "device/launcher_image.h"
#include "device/pieceif.h"
#include "resources/resource.h"

const uint8_t kLauncherNameField[kLauncherNameFieldSize] = {
    '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', '1', '2', '3', '4', '5',
    '6', '7', '8', '9', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 0};

namespace {

const char kControlError[] = "実行制御エラーです。";
const char kMemoryWriteFailed[] = "メモリへの書き込みに失敗しました。";
const char kNotHere[] = "このP/ECEではプログラムを実行できません。ランチャー ";
const char kNeeded[] = " が必要です。";
const char kSimulatorTag[] = "QLSIMDEV";   // bytes 24 to 31 of the simulator's version record

constexpr size_t kVersionRecordSize = 32;
constexpr size_t kSimulatorTagOffset = 24;

constexpr size_t kFirstSectionOffset = 8;
constexpr size_t kNextOffset = 0;
constexpr size_t kAddressOffset = 10;
constexpr size_t kDataOffset = 34;
constexpr size_t kDataSize = 38;

uint32_t BigEndian32(const std::vector<uint8_t>& image, size_t offset) {
  return static_cast<uint32_t>(image[offset]) << 24 | static_cast<uint32_t>(image[offset + 1]) << 16 |
         static_cast<uint32_t>(image[offset + 2]) << 8 | image[offset + 3];
}

bool Fits(const std::vector<uint8_t>& image, uint64_t offset, uint64_t size) {
  return offset <= image.size() && size <= image.size() - offset;
}

void ShowError(const char* text) { Show(text, kErrorStyle); }

// The launcher file beside the program file, as a host path; "" when the
// program's path cannot be had.
std::string LauncherFilePath() {
  std::string program;
  if (!ThePlatform().ProgramPath(&program)) return "";
  PathParts parts = SplitHostPath(program);
  return parts.drive + parts.folder + parts.name + ".srf";
}

bool ReadLauncherFile(const std::string& path, std::vector<uint8_t>* image) {
  FILE* file = ThePlatform().OpenForReading(path);
  if (!file) return false;
  image->resize(kMaxLauncherFile + 1);
  image->resize(fread(image->data(), 1, image->size(), file));
  fclose(file);
  return !image->empty() && image->size() <= kMaxLauncherFile;
}

// Whether the device says it is the simulator, the one device that can run
// the stand-in; asked inside the open connection.
bool DeviceIsSimulator() {
  uint8_t record[kVersionRecordSize] = {};
  return ismGetVersion(record, 1) != kPieceVersionFailed && IsSimulatorRecord(record);
}

}  // namespace

bool IsSimulatorRecord(const uint8_t* record) {
  return memcmp(record + kSimulatorTagOffset, kSimulatorTag, 8) == 0;
}

bool LauncherFileUsable(const std::vector<uint8_t>& image) {
  std::vector<LauncherSection> sections;
  long field = FindLauncherNameField(image);
  if (field < 0 || !LauncherSections(image, &sections)) return false;
  bool named = false;
  for (const LauncherSection& s : sections) {
    if (uint64_t(s.address) + s.size > (uint64_t(1) << 32)) return false;
    named = named || (uint64_t(field) >= s.offset && uint64_t(field) + kLauncherNameFieldSize <= uint64_t(s.offset) + s.size);
  }
  return named;
}

bool IsSimulatorLauncher(const std::vector<uint8_t>& image, const std::vector<LauncherSection>& sections) {
  const size_t tag = sizeof kSimulatorLauncherTag - 1;
  return !sections.empty() && sections[0].size >= tag &&
         memcmp(&image[sections[0].offset], kSimulatorLauncherTag, tag) == 0;
}

long FindLauncherNameField(const std::vector<uint8_t>& image) {
  if (image.size() < kLauncherNameFieldSize) return -1;
  for (size_t i = 0; i + kLauncherNameFieldSize <= image.size(); ++i)
    if (memcmp(&image[i], kLauncherNameField, kLauncherNameFieldSize) == 0)
      return static_cast<long>(i);
  return -1;
}

void PutLauncherName(std::vector<uint8_t>* image, size_t offset, const std::string& name) {
  uint8_t* field = image->data() + offset;
  memset(field, 0, kLauncherNameFieldSize);
  memcpy(field, name.data(), name.size() < kLauncherNameFieldSize ? name.size() : kLauncherNameFieldSize - 1);
}

bool LauncherSections(const std::vector<uint8_t>& image, std::vector<LauncherSection>* sections) {
  sections->clear();
  if (!Fits(image, kFirstSectionOffset, 4)) return false;
  // A well-formed chain visits each header once; remembering them stops a
  // looping chain, and every header must lie wholly inside the image.
  std::set<uint32_t> visited;
  for (uint32_t header = BigEndian32(image, kFirstSectionOffset); header != 0;
       header = BigEndian32(image, header + kNextOffset)) {
    if (!Fits(image, header, kLauncherSectionHeaderSize)) return false;
    if (!visited.insert(header).second) return false;
    LauncherSection section;
    section.address = BigEndian32(image, header + kAddressOffset);
    section.offset = BigEndian32(image, header + kDataOffset);
    section.size = BigEndian32(image, header + kDataSize);
    if (section.offset == 0 || section.size == 0) continue;
    if (!Fits(image, section.offset, section.size)) return false;
    sections->push_back(section);
  }
  return true;
}

void RunLauncherImage(const std::vector<uint8_t>& image, const std::string& name) {
  // The field holds the name and at least one zero byte after it.
  if (name.size() >= kLauncherNameFieldSize) {
    ShowError(kInternalError);
    return;
  }
  std::vector<uint8_t> copy;
  try {
    copy = image;
  } catch (const std::bad_alloc&) {
    ShowError(kOutOfMemory);
    return;
  }
  long field = FindLauncherNameField(copy);
  if (field < 0) {
    ShowError(kInternalError);
    return;
  }
  PutLauncherName(&copy, static_cast<size_t>(field), name);
  // A malformed image is found out before the device application is stopped.
  std::vector<LauncherSection> sections;
  if (!LauncherSections(copy, &sections)) {
    ShowError(kInternalError);
    return;
  }

  WaitCursor wait;
  if (!ConnectDevice()) {
    ShowError(kCannotConnect);
    return;
  }
  // The stand-in would leave a real P/ECE hung: nothing is stopped or
  // written unless the device is the simulator.
  if (IsSimulatorLauncher(copy, sections) && !DeviceIsSimulator()) {
    std::string file = HostFileName(LauncherFilePath());
    ShowHost(HostTextOf(kNotHere) + (file.empty() ? "Quillet.srf" : file) + HostTextOf(kNeeded),
                              kErrorStyle);
  } else if (ismAppStop() != 0) {
    ShowError(kControlError);
  } else {
    bool written = true;
    for (const LauncherSection& s : sections) {
      if (ismWriteMem(&copy[s.offset], s.address, static_cast<int32_t>(s.size)) != 0) {
        ShowError(kMemoryWriteFailed);
        written = false;
        break;
      }
    }
    if (written && ismAppStart() != 0) ShowError(kControlError);
  }
  DisconnectDevice();
}

void RunProgram(const std::string& name) {
  std::vector<uint8_t> image;
  const std::string file = LauncherFilePath();
  bool usable = !file.empty() && ThePlatform().PathExists(file)
                    ? ReadLauncherFile(file, &image) && LauncherFileUsable(image)
                    : ThePlatform().LoadResourceBytes("SRF", IDR_LAUNCHER, &image) && !image.empty();
  if (!usable) {
    ShowError(kInternalError);
    return;
  }
  RunLauncherImage(image, name);
}
