#include "app/path_list.h"

#include "app/path_util.h"

PathList commandLinePaths;

void SplitPathList(const char* text, PathList& list) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  for (;;) {
    while (*p && IsBlank(*p)) ++p;
    if (!*p) return;
    std::string path;
    if (*p == '"') {
      ++p;
      while (*p && *p != '"') path += static_cast<char>(*p++);
      if (*p == '"') ++p;
    } else {
      while (*p && !IsBlank(*p)) path += static_cast<char>(*p++);
    }
    if (!path.empty()) list.push_back(path);
  }
}

const char* ArgumentText(const char* commandLine) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p > ' ') ++p;
  }
  while (*p && *p <= ' ') ++p;
  return reinterpret_cast<const char*>(p);
}
