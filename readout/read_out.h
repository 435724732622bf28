// The portable part of reading files out by drag: the temporary copies offered
// to the drop target, the device read at the moment of the drop, and their
// removal. The copies go into a folder made afresh for each drag inside the
// user's temporary folder, so no file of the user's is overwritten or
// removed, and the drop target still sees the device file names (as host
// text). A device name with a folder part (from a transfer list) is read by
// its whole name into a copy under its file-name part.
#ifndef QUILLET_READOUT_READ_OUT_H
#define QUILLET_READOUT_READ_OUT_H

#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

#include "device/directory.h"

constexpr size_t kHostPathBuffer = 260;   // characters, the terminator included

class ReadOut {
 public:
  ReadOut() = default;
  ~ReadOut() { Cleanup(); }
  ReadOut(const ReadOut&) = delete;
  ReadOut& operator=(const ReadOut&) = delete;

  // Makes the drag's folder and the temporary path of each file that can be
  // a file there, in order; the device names that cannot (the
  // second of two copies of one name, names the host cannot store) go to
  // refused, for the caller to tell. False, leaving nothing behind, when no
  // name is left, or when the copies cannot be made: then with the message
  // shown.
  bool Prepare(const std::vector<DirEntry>& entries, std::vector<std::string>* refused);
  // At the drop: reads every file from the device into its temporary path.
  // True when all were read; false (cancel the drop) with errorText set.
  bool ReadAtDrop();
  // After the drag loop: shows errorText, if any.
  void ReportError();
  // For the clipboard: reads every file as a command does (a failed read
  // asks Abort, Retry or Ignore; Escape stops after the file in flight).
  // The paths read, in order; none when the reading was stopped or could
  // not start.
  std::vector<std::string> ReadAll();
  // Removes the copies and the folder; safe to call more than once.
  void Cleanup();

  const std::vector<std::string>& tempPaths() const { return tempPaths_; }
  const std::vector<std::string>& readPaths() const { return readPaths_; }
  const std::string& errorText() const { return errorText_; }
  const std::string& folder() const { return folder_; }

 private:
  bool MakeFolder(const std::string& tempFolder, char separator);

  std::string folder_;   // with its trailing separator; empty until made
  std::vector<std::string> deviceNames_;   // read into tempPaths_, in order
  std::vector<uint64_t> sizes_;            // as the list gives them
  std::vector<std::string> tempPaths_;
  std::vector<std::string> readPaths_;
  std::string errorText_;
};

#endif
