// PathList: an ordered list of host paths (UTF-8); SplitPathList makes one
// from a command line or a hand-over text in UTF-8, whose blanks and quotes
// are never part of another character.
#ifndef QUILLET_APP_PATH_LIST_H
#define QUILLET_APP_PATH_LIST_H

#include <string>
#include <vector>

using PathList = std::vector<std::string>;

// Appends the blank-separated, optionally double-quoted paths of text (up to
// its first zero byte) to list. There is no escape character.
void SplitPathList(const char* text, PathList& list);

// The paths of the process command line, filled at start-up.
extern PathList commandLinePaths;

// The argument text of a command line: what follows the program's own path
// (quoted up to the next quote, else up to the first blank or control
// character) and the blanks and control characters after it.
const char* ArgumentText(const char* commandLine);

#endif
