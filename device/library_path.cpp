#include "device/library_path.h"

#include <memory>

#include "app/path_util.h"
#include "app/platform.h"
#include "device/library_call.h"
#include "device/pieceif.h"

namespace {

constexpr int32_t kNoHostPath = -1;   // a plain failure, never a full flash
constexpr size_t kNameLength = 15;    // "QLS", eight hex digits, ".tmp"

class Stage {
 public:
  // A new ASCII name in the temporary folder, said in the ANSI code page
  // through the folder's short form where its own cannot be; the file is
  // made at once, so no other instance can take the same name, and the host
  // reaches it by the same form as the library, so that it fits the path
  // buffers too.
  bool Make() {
    Platform& p = ThePlatform();
    std::string folder, ansiFolder;
    auto usable = [&](const std::string& form) {
      return p.LibraryPath(form, &ansiFolder) && ansiFolder.size() + kNameLength <= kMaxHostPath &&
             Utf16Length(form) + kNameLength <= kMaxHostPath;
    };
    if (!p.TempFolder(&folder) || (!usable(folder) && !usable(folder = p.ShortPath(folder)))) return false;
    file.reset(new PrivateFile(folder));
    if (file->path().empty()) return false;
    ansi = ansiFolder + file->path().substr(folder.size());
    return true;
  }
  const std::string& path() const { return file->path(); }
  std::unique_ptr<PrivateFile> file;
  std::string ansi;
};

}  // namespace

int32_t WriteFromHost(const std::string& deviceName, const std::string& hostPath, uint64_t bytes) {
  std::string ansi;
  if (ThePlatform().LibraryPath(hostPath, &ansi)) {
    NextCallMoves(hostPath, bytes);
    return ismPFFSWrite(deviceName.c_str(), ansi.c_str());
  }
  Stage stage;
  if (!stage.Make() || !ThePlatform().CopyFile(hostPath, stage.path())) return kNoHostPath;
  NextCallMoves(stage.path(), bytes);
  return ismPFFSWrite(deviceName.c_str(), stage.ansi.c_str());
}

int32_t ReadToHost(const std::string& deviceName, const std::string& hostPath, uint64_t bytes) {
  std::string ansi;
  if (ThePlatform().LibraryPath(hostPath, &ansi)) {
    NextCallMoves(hostPath, bytes);
    return ismPFFSRead(deviceName.c_str(), ansi.c_str());
  }
  Stage stage;
  if (!stage.Make()) return kNoHostPath;
  NextCallMoves(stage.path(), bytes);
  int32_t status = ismPFFSRead(deviceName.c_str(), stage.ansi.c_str());
  if (status == 0 && !stage.file->MoveTo(hostPath)) return kNoHostPath;
  return status;
}

bool IsFlashFull(int32_t status) {
  return status == kPieceFlashFull || status == kPieceFlashFullAlt;
}
