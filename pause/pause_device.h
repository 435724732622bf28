// Pausing the device application while the PAUSE window is up.
#ifndef QUILLET_PAUSE_PAUSE_DEVICE_H
#define QUILLET_PAUSE_PAUSE_DEVICE_H

#include <functional>

// Pauses, closes the connection, runs showWindow (the modal PAUSE window),
// then resumes in a new connection.
void PauseDevice(const std::function<void()>& showWindow);

#endif
