// The simulator's 13 library functions under names of their own, for a
// process that defines the library's names itself (the unit tests, whose
// core makes its calls through device/library_call.cpp). Included before
// device/pieceif.h, it renames what that header declares.
#ifndef QUILLET_STANDINS_PIECEIF_SIM_CALLS_H
#define QUILLET_STANDINS_PIECEIF_SIM_CALLS_H

#define ismInitEx piecesim_ismInitEx
#define ismExit piecesim_ismExit
#define ismCmdW piecesim_ismCmdW
#define ismCmdR piecesim_ismCmdR
#define ismReadMem piecesim_ismReadMem
#define ismWriteMem piecesim_ismWriteMem
#define ismAppStop piecesim_ismAppStop
#define ismAppStart piecesim_ismAppStart
#define ismGetVersion piecesim_ismGetVersion
#define ismPFFSDir piecesim_ismPFFSDir
#define ismPFFSRead piecesim_ismPFFSRead
#define ismPFFSWrite piecesim_ismPFFSWrite
#define ismPFFSDelete piecesim_ismPFFSDelete

#endif
