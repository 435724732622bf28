// The simulated P/ECE behind the stand-in pieceif.dll, and the control
// interface tests use to set devices up, inject faults and read the call log.
//
// Every device lives in a folder on the host, so its state outlives the
// process (the program connects anew for every operation):
//
//   <home>/devN/            device N is present when this folder exists
//   <home>/devN/flash/      one host file per flash file (name escaped)
//   <home>/devN/order       flash names in device order, one per line
//   <home>/devN/state       key=value lines (capacity, memtop, appstate, ...)
//   <home>/devN/memory.bin  device memory from kMemoryBase up to kMemoryEnd
//   <home>/devN/dirtext     if present, ismPFFSDir returns it verbatim
//   <home>/devN/runs        one line per program the launcher ran
//   <home>/devN/played.bin  the samples of the sound block played last
//   <home>/faults           injected faults, one per line
//   <home>/counts           calls made so far per function (for "Nth call")
//   <home>/calls.log        one line per library call
//   <home>/open             number of open connections
//   <home>/connected        the device index of the open connection
//
// Flash file names are stored escaped: every byte outside [a-z0-9._-] (and a
// trailing dot, and the first letter of a DOS device name such as "con")
// becomes %XX, so case and code page 932 bytes survive any host file system.
//
// The home folder is $PIECE_SIM_HOME, else "simdevices" beside the DLL (or
// the current folder in the native build).
#ifndef QUILLET_STANDINS_PIECEIF_SIMULATOR_H
#define QUILLET_STANDINS_PIECEIF_SIMULATOR_H

#include <stdint.h>
#include <string>
#include <vector>

namespace piecesim {

constexpr uint32_t kMemoryBase = 0x100000;
constexpr uint32_t kMemoryEnd = 0x140000;        // one past the last address
constexpr uint32_t kDefaultMemoryTop = 0x13e000; // offset 20 of the version record
constexpr uint32_t kDefaultCapacity = 256 * 1024;
constexpr int32_t kStatusNoConnection = 2;        // a call without ismInitEx
constexpr int32_t kStatusBadArgument = 3;
constexpr int32_t kStatusNoFile = 4;
constexpr int32_t kStatusHostFile = 5;            // host file cannot be read/written
constexpr int32_t kStatusNoDevice = 6;            // ismInitEx for an absent device
constexpr int32_t kStatusTextTooLong = 7;         // ismPFFSDir text does not fit
// Application state bytes (reply byte 0 of command 0x11).
constexpr uint8_t kStateRunning = 0x02;
constexpr uint8_t kStateStopped = 0x01;
// Bytes 24 to 31 of the version record (ismGetVersion, flag 1): the
// simulator says that it is one, which no real P/ECE does ("simtag" 0 takes
// it away).
constexpr char kSimulatorTag[] = "QLSIMDEV";
// The first bytes of the launcher's code section; ismAppStart recognises the
// launcher by them and records the program named in its name field.
constexpr char kLauncherMagic[] = "QUILLET-LAUNCHER";
constexpr uint32_t kLauncherNameAddress = 0x100258;

std::string Home();
void SetHome(const std::string& folder);   // overrides $PIECE_SIM_HOME

// Devices.
void ResetAll();                           // removes every device, fault, log
void CreateDevice(int index, uint32_t capacity = kDefaultCapacity);
void RemoveDevice(int index);
bool DeviceExists(int index);
void PutFile(int index, const std::string& name, const std::string& bytes);
bool GetFile(int index, const std::string& name, std::string* bytes);
bool HasFile(int index, const std::string& name);
std::vector<std::string> ListFiles(int index);        // device order
void SetDirText(int index, const std::string& text);  // verbatim directory text
void ClearDirText(int index);
// State keys: capacity, memtop, appstate (decimal byte), paused (0/1),
// neverstops (0/1), channelbusy (0/1), playms (play time of a sound block),
// lastrun (program the launcher ran), played (sample count last played).
// Also: stoppedstate (appstate after a pause or ismAppStop, default 1),
// playreads (channel 3 reads that still see a block playing, default 5),
// playaddr (block address last played), plays (blocks played so far),
// appvalue (bytes 8..11 of the 0x11 reply, default memtop), chan<N> (the
// value last written to channel N; reads give its low 16 bits), dirstatus
// (what ismPFFSDir returns with a verbatim directory text, default 0), rate
// (bytes a second that ismPFFSRead and ismPFFSWrite move; 0, the default,
// at once), simtag (1, the default: the version record carries
// kSimulatorTag; 0: it does not, as a real P/ECE's), shortwrites (1: every
// ismPFFSWrite stores its file a byte short and still returns 0), garble (a
// device name: its next ismPFFSWrite stores the first byte changed, returns
// 0, and clears the key).
// GetState gives the default for a key that is not set.
void SetState(int index, const std::string& key, const std::string& value);
std::string GetState(int index, const std::string& key);
void WriteMemory(int index, uint32_t address, const std::string& bytes);
std::string ReadMemory(int index, uint32_t address, uint32_t length);  // "" outside memory
std::vector<std::string> Runs(int index);  // names the launcher ran, in order
std::string PlayedSamples(int index);      // samples of the last block played

// Faults: the nth call (1-based, counted from the last ClearFaults/ResetAll)
// of function returns status; nth 0 means every call. A faulted call has no
// effect. ismGetVersion, whose only failure is -1, returns -1 for any
// non-zero status (and when no connection is open).
void InjectFault(const std::string& function, int nth, int32_t status);
void ClearFaults();

// Linked into a process that defines the library's functions itself (a core
// that calls through device/library_call.cpp), the simulator answers them.
void AnswerInProcess();

// Call log, one line per call: "name(arg, arg) = status".
std::vector<std::string> CallLog();
void ClearCallLog();
int OpenConnections();

}  // namespace piecesim

#endif
