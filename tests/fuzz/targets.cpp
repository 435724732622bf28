// The libFuzzer targets, one per parser of text that comes from outside the
// program; FUZZ_<name> picks the target. Memory and undefined-behaviour
// faults are the sanitizers' to find; a broken invariant aborts.
#include <iconv.h>
#include <stdint.h>
#include <stdlib.h>

#include "app/path_list.h"
#include "app/path_util.h"
#include "device/launcher_image.h"
#include "device/directory.h"
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
  LauncherFileUsable(image);   // an owner's launcher file is outside input too
  long field = FindLauncherNameField(image);
  if (field >= 0) PutLauncherName(&image, field, text.substr(0, 31));
#elif defined(FUZZ_icon_size)
  SmallerIconSizeText(text);
#elif defined(FUZZ_path_util)
  for (const PathParts& p : {SplitDeviceName(text), SplitHostPath(text)})
    CHECK(p.drive + p.folder + p.name + p.extension == text);
  // Lowering changes single-byte capitals only, never a byte of a
  // double-byte character; the multibyte lowering agrees on single bytes.
  const std::string ascii = LowerAscii(text), multibyte = LowerMultibyte(text);
  for (size_t i = 0, n; i < size; i += n) {
    const unsigned char c = data[i], lowered = c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
    n = IsLeadByte(c) && i + 1 < size ? 2 : 1;
    CHECK(n == 2 ? ascii.compare(i, 2, text, i, 2) == 0 : ascii[i] == char(lowered) && multibyte[i] == ascii[i]);
  }
  CHECK(LowerMultibyte(multibyte) == multibyte);
  // UTF-8 text measures what the system's conversion to UTF-16 gives.
  std::u16string utf16(size + 1, u'\0');
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  char *in = const_cast<char*>(text.data()), *out = reinterpret_cast<char*>(&utf16[0]);
  size_t inLeft = size, outLeft = utf16.size() * 2;
  if (iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1))
    CHECK(Utf16(text) == utf16.substr(0, utf16.size() - outLeft / 2) && Utf16Length(text) == utf16.size() - outLeft / 2);
  iconv_close(cd);
  std::string key;
  HostPathBelow(text, false, &key);
  JoinHostPath(text, "x");
#endif
  return 0;
}
