// Running a .pex program on the device through the launcher image.
#ifndef QUILLET_DEVICE_LAUNCHER_H
#define QUILLET_DEVICE_LAUNCHER_H

#include <stdint.h>

#include <string>

// Loads the launcher with name in its name field and starts it; every
// failure is shown. The launcher is the file named after the program file
// with the extension ".srf" beside it, when there is one, else the built-in
// stand-in (resource "SRF" 129).
void RunProgram(const std::string& name);
// Whether a version record (ismGetVersion's 32 bytes) is the simulator's,
// the one device that can run the stand-in launcher.
bool IsSimulatorRecord(const uint8_t* record);

#endif
