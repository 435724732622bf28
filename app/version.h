// The program's version, shown on the first line of the about box and in the
// version resource. The numbers are the one place to change it: the text is
// made from them, so the two can never disagree.
#ifndef QUILLET_APP_VERSION_H
#define QUILLET_APP_VERSION_H

#define QUILLET_VERSION_MAJOR 1
#define QUILLET_VERSION_MINOR 0
#define QUILLET_VERSION_PATCH 0
// The fourth number of the Windows file version; not part of the text.
#define QUILLET_VERSION_BUILD 0

#define QUILLET_VERSION_STRINGIZE2(x) #x
#define QUILLET_VERSION_STRINGIZE(x) QUILLET_VERSION_STRINGIZE2(x)
// "1.0.0"
#define QUILLET_VERSION_TEXT                  \
  QUILLET_VERSION_STRINGIZE(QUILLET_VERSION_MAJOR) "." \
  QUILLET_VERSION_STRINGIZE(QUILLET_VERSION_MINOR) "." \
  QUILLET_VERSION_STRINGIZE(QUILLET_VERSION_PATCH)

#define QUILLET_PUBLISHER "the Quillet developers"
#define QUILLET_PUBLISHER_LINE "Copyright (C) 2026 " QUILLET_PUBLISHER

#endif
