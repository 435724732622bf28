// Running a .pex program on the device through the launcher image.
#ifndef QUILLET_DEVICE_LAUNCHER_H
#define QUILLET_DEVICE_LAUNCHER_H

#include <string>

// Loads the launcher (resource "SRF" 129) with name in its name field and
// starts it; every failure is shown.
void RunProgram(const std::string& name);

#endif
