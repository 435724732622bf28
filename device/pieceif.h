// The 13 functions of the device vendor's USB interface library pieceif.dll,
// declared once for the whole program. Every argument and result is 32 bits
// wide on the target (i686); status 0 means success, except ismGetVersion,
// which fails with -1. The program defines them itself, as calls into the
// library it binds at run time (device/pieceif_library_win32.cpp); the
// stand-in library and the native tests define them as the simulator.
#ifndef QUILLET_DEVICE_PIECEIF_H
#define QUILLET_DEVICE_PIECEIF_H

#include <stdint.h>

// The calling convention of these declarations. The program's calls into the
// real library do not depend on it; the stand-in is built with it and, with
// PIECEIF_CDECL defined, as __cdecl, the other form a vendor library can have.
#if defined(_WIN32) && !defined(PIECEIF_CDECL)
#define PIECEIF_CALL __stdcall
#else
#define PIECEIF_CALL
#endif

// Statuses the program relies on besides 0.
enum : int32_t {
  kPieceFlashFull = 1005,      // the flash has too little free space
  kPieceFlashFullAlt = 1006,   // the same, reported differently
  kPieceVersionFailed = -1,    // ismGetVersion only
};

#ifdef __cplusplus
extern "C" {
#endif

int32_t PIECEIF_CALL ismInitEx(int32_t deviceIndex, int32_t reserved);
int32_t PIECEIF_CALL ismExit(void);
int32_t PIECEIF_CALL ismCmdW(const void* command, int32_t length, const void* data, int32_t dataLength);
int32_t PIECEIF_CALL ismCmdR(const void* command, int32_t length, void* reply, int32_t replyLength);
int32_t PIECEIF_CALL ismReadMem(void* destination, uint32_t address, int32_t length);
int32_t PIECEIF_CALL ismWriteMem(const void* source, uint32_t address, int32_t length);
int32_t PIECEIF_CALL ismAppStop(void);
int32_t PIECEIF_CALL ismAppStart(void);
int32_t PIECEIF_CALL ismGetVersion(void* record32, int32_t flag);
int32_t PIECEIF_CALL ismPFFSDir(char* text, int32_t size, int32_t reserved);
int32_t PIECEIF_CALL ismPFFSRead(const char* deviceName, const char* hostPath);
int32_t PIECEIF_CALL ismPFFSWrite(const char* deviceName, const char* hostPath);
int32_t PIECEIF_CALL ismPFFSDelete(const char* deviceName);

#ifdef __cplusplus
}
#endif

#endif
