// The device beep after F5 and F6, when the beep setting is on.
#ifndef QUILLET_DEVICE_BEEP_H
#define QUILLET_DEVICE_BEEP_H

void BeepDevice();

#endif
