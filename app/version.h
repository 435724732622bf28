// The program's version, shown on the first line of the about box.
#ifndef QUILLET_APP_VERSION_H
#define QUILLET_APP_VERSION_H

#define QUILLET_VERSION_TEXT "1.0.0"
#define QUILLET_PUBLISHER_LINE "Copyright (C) 2026 the Quillet developers"

#endif
