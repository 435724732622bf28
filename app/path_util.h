// Host paths and device names are code page 932 text: splitting, lowering and
// comparing step over double-byte characters, whose second byte can be '\\'
// or a letter. ASCII text behaves byte for byte.
#ifndef QUILLET_APP_PATH_UTIL_H
#define QUILLET_APP_PATH_UTIL_H

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
PathParts SplitPath(const std::string& path);
// Name and extension, without drive and folder.
std::string FileNamePart(const std::string& path);
// Drive and folder joined (ends in a separator unless empty).
std::string FolderPart(const std::string& path);

// True when the last character is a single-byte '\\' or '/' (the trail byte
// of a double-byte character may be 0x5C too).
bool EndsInSeparator(const std::string& path);
// folder and name joined with a backslash where folder lacks a separator at
// its end; an empty folder gives the bare name.
std::string JoinPath(const std::string& folder, const std::string& name);
// Whether a device name, taken as a path below some folder, would lead out
// of it: a drive, a leading separator or a ".." part. A transfer list line
// keeps its folder part in the device name, so a device can hold such names.
bool LeavesFolder(const std::string& name);

// A to Z become a to z; double-byte characters are left whole.
std::string LowerAscii(const std::string& text);
// As LowerAscii, and full-width Latin, Greek and Cyrillic capitals of code
// page 932 become their small letters (the locale's multibyte case mapping).
std::string LowerMultibyte(const std::string& text);
// Equal when they differ only in the case of ASCII letters (single bytes).
bool EqualsIgnoreAsciiCase(const std::string& a, const std::string& b);

// The six single-byte blanks: space, tab, line feed, vertical tab, form feed,
// carriage return.
inline bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

#endif
