// The launcher image as the host sees it: the 32-byte name field that receives
// the program name, and the chain of sections that is loaded into device
// memory. Kept apart from the resource so it can be checked on any buffer.
#ifndef QUILLET_DEVICE_LAUNCHER_IMAGE_H
#define QUILLET_DEVICE_LAUNCHER_IMAGE_H

#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

constexpr size_t kLauncherNameFieldSize = 32;
constexpr size_t kLauncherSectionHeaderSize = 44;
// The placeholder that marks the name field: 31 digits and a zero byte.
extern const uint8_t kLauncherNameField[kLauncherNameFieldSize];
// The first bytes of the built-in launcher's code: a stand-in that only the
// simulated P/ECE can run.
constexpr char kSimulatorLauncherTag[] = "QUILLET-LAUNCHER";
// The largest launcher file taken.
constexpr size_t kMaxLauncherFile = 1 << 20;

// A section with data to load.
struct LauncherSection {
  uint32_t address;   // device address
  uint32_t offset;    // of its data in the image
  uint32_t size;      // bytes
};

// The image offset of the first name field, or -1 when there is none.
long FindLauncherNameField(const std::vector<uint8_t>& image);
// Writes name and zero bytes over the 32-byte field at offset.
void PutLauncherName(std::vector<uint8_t>* image, size_t offset, const std::string& name);
// The sections to load, in chain order. False when the image is malformed:
// a header or data range that leaves the image, or a chain that returns to a
// header it has passed.
bool LauncherSections(const std::vector<uint8_t>& image, std::vector<LauncherSection>* sections);

// A launcher file an owner supplies is checked more strictly than the
// built-in image: besides a name field and a well-formed chain, the name
// field must lie in the data of a loaded section and no section may run
// past the 32-bit address space.
bool LauncherFileUsable(const std::vector<uint8_t>& image);
// Whether the image is the built-in stand-in: its first loaded section
// starts with kSimulatorLauncherTag.
bool IsSimulatorLauncher(const std::vector<uint8_t>& image, const std::vector<LauncherSection>& sections);

// Everything RunProgram does once the image is had: patch a copy with name,
// stop the device application, load the sections and start it. The
// stand-in goes only to a device whose version record says it is the
// simulator. Every failure is shown; the image itself is not changed.
void RunLauncherImage(const std::vector<uint8_t>& image, const std::string& name);

#endif
