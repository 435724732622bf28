// The entry point of the stand-in pieceif.dll; the library functions
// themselves are the simulator's, exported under their plain names.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
