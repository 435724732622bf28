#include "device/diagnostics.h"

#include "app/path_util.h"
#include "app/settings_store.h"
#include "app/version.h"
#include "device/launcher.h"
#include "device/library_call.h"

namespace {

std::string HexBytes(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += (i ? " " : "") + Hex8(bytes[i]).substr(6);
  return text;
}

}  // namespace

std::string DiagnosticReport(const LibraryFacts& library, const SystemFacts& system) {
  std::string report;
  auto line = [&](const std::string& text) { report += text + "\r\n"; };
  line(std::string("Quillet " QUILLET_VERSION_TEXT) + (sizeof(void*) == 4 ? " (32-bit)" : " (64-bit)"));

  line("");
  line("[library]");
  line("path: " + (library.path.empty() ? "(not loaded)" : library.path));
  line("file version: " + (library.version.empty() ? "(none)" : library.version));
  for (size_t i = 0; i < library.names.size() && i < kPieceFunctionCount; ++i)
    line(std::string(kPieceFunctions[i].name) + ": " + library.names[i]);

  line("");
  line("[device]");
  uint8_t record[32];
  if (LastVersionRecord(record)) {
    line("version record: " + HexBytes(record, sizeof record));
    line(std::string("simulated: ") + (IsSimulatorRecord(record) ? "yes" : "no"));
  } else {
    line("version record: not read in this run");
  }

  line("");
  line("[system]");
  line("Windows: " + system.windows);
  line("ANSI code page: " + std::to_string(system.ansiCodePage));
  line("display scale: " + std::to_string(system.scalePercent) + "%");
  if (!system.wine.empty()) line("Wine: " + system.wine);

  line("");
  line("[config]");
  for (const ConfigValue& value : ConfigValues()) line(std::string(value.key) + "=" + value.value);

  line("");
  line("[calls]");
  for (const std::string& call : RecentCalls()) line(call);
  return report;
}
