// The libFuzzer targets, one per parser of text that comes from outside the
// program; FUZZ_<name> picks the target. Memory and undefined-behaviour
// faults are the sanitizers' to find; a broken invariant aborts.
#include <stdint.h>
#include <stdlib.h>

#include "app/path_list.h"
#include "app/path_util.h"
#include "device/launcher_image.h"
#include "filelist/directory.h"
#include "settings/file_types.h"
#include "transfer/transfer_list.h"

#define CHECK(condition) ((condition) ? (void)0 : abort())

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
#if defined(FUZZ_directory)
  DirListing listing;
  bool ok = listing.Parse(text.data(), size);
  CHECK(ok || (listing.entries.empty() && listing.statusText.empty()));
  for (const DirEntry& e : listing.entries) CHECK(!e.name.empty() && e.name.size() <= kMaxDeviceName);
#elif defined(FUZZ_path_list)
  PathList list;
  SplitPathList(text.c_str(), list);
  for (const std::string& path : list) CHECK(!path.empty());
  ArgumentText(text.c_str());
#elif defined(FUZZ_transfer_list)
  TransferListReader reader;
  if (!reader.Open(fmemopen(const_cast<uint8_t*>(data), size, "rb"))) return 0;   // an empty list
  std::string line;
  for (size_t lines = 0; reader.NextLine(&line); ++lines) CHECK(lines < size && line.size() <= kListPieceBytes);
#elif defined(FUZZ_launcher)
  std::vector<uint8_t> image(data, data + size);
  std::vector<LauncherSection> sections;
  if (LauncherSections(image, &sections))
    for (const LauncherSection& s : sections) CHECK(s.offset + uint64_t(s.size) <= size);
  long field = FindLauncherNameField(image);
  if (field >= 0) PutLauncherName(&image, field, text.substr(0, 31));
#elif defined(FUZZ_icon_size)
  SmallerIconSizeText(text);
#elif defined(FUZZ_path_util)
  for (const PathParts& p : {SplitDeviceName(text), SplitHostPath(text)})
    CHECK(p.drive + p.folder + p.name + p.extension == text);
  CHECK(LowerMultibyte(text).size() == size && EqualsIgnoreAsciiCase(LowerAscii(text), text));
  CHECK(Utf16(text).size() == Utf16Length(text));
  LeavesFolder(text);
  JoinHostPath(text, "x");
#endif
  return 0;
}
