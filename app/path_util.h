// Splitting, lowering and comparing the two kinds of text. Device names are
// code page 932: these functions step over its double-byte characters, whose
// second byte can be '\\' or a letter. Host paths are UTF-8, where
// separators, dots and ASCII letters never occur inside a character, so they
// are split and case-folded byte by byte. ASCII text behaves the same in both.
#ifndef QUILLET_APP_PATH_UTIL_H
#define QUILLET_APP_PATH_UTIL_H

#include <stdint.h>

#include <string>

// Lead byte of a double-byte character in code page 932.
bool IsLeadByte(unsigned char byte);

// The four parts of a path, as the platform's splitpath gives them: drive
// ("C:"), folder (with its trailing separator), file name and extension (from
// the last '.' of the last part, the dot included). Both '\\' and '/'
// separate parts.
struct PathParts {
  std::string drive, folder, name, extension;
};
PathParts SplitHostPath(const std::string& path);
PathParts SplitDeviceName(const std::string& name);
// Name and extension, without drive and folder.
std::string HostFileName(const std::string& path);
std::string DeviceFileName(const std::string& name);
// Drive and folder joined (ends in a separator unless empty).
std::string HostFolder(const std::string& path);
// folder and name joined with a backslash where folder lacks a separator at
// its end; an empty folder gives the bare name.
std::string JoinHostPath(const std::string& folder, const std::string& name);
// A to Z become a to z, byte by byte.
std::string FoldHostCase(const std::string& path);
// The length of a host path in UTF-16 code units, as the system counts it.
size_t Utf16Length(const std::string& utf8);
std::u16string Utf16(const std::string& utf8);

// Whether one part of a host path (host text) can be a file's name on
// Windows: not empty, no character below U+0020 and none of \ / : * ? " < >
// |, no dot or blank at its end, and not a name Windows keeps for a device
// (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with any extension, in
// any case).
bool CanBeFileName(const std::string& part);
// A device name as host text, taken as a file below some folder: the whole
// name, whose folder parts are folders below it (a transfer list line keeps
// its folder part in the device name), or its file-name part alone when
// flat. False when it cannot be a file there: a part that cannot be a name,
// a drive, a leading separator or a ".." part (also when flat). key is the
// path in one spelling (backslashes, no "." parts) for comparing two names.
bool HostPathBelow(const std::string& name, bool flat, std::string* key);

// A to Z become a to z; double-byte characters are left whole.
std::string LowerAscii(const std::string& text);
// As LowerAscii, and full-width Latin, Greek and Cyrillic capitals of code
// page 932 become their small letters (the locale's multibyte case mapping).
std::string LowerMultibyte(const std::string& text);
// Equal when they differ only in the case of ASCII letters (single bytes).
bool EqualsIgnoreAsciiCase(const std::string& a, const std::string& b);

// Eight upper-case hexadecimal digits, as printf's "%08X" gives them: the
// temporary names. (No printf here: on Windows it brings in the runtime's
// whole formatting engine, some 25 KB.)
std::string Hex8(uint32_t value);

// The six single-byte blanks: space, tab, line feed, vertical tab, form feed,
// carriage return.
inline bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

#endif
