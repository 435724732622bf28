// The list's commands: which menu items are enabled for which state of the
// list, and which command each key runs.
#include <gtest/gtest.h>

#include "filelist/commands.h"
#include "tests/support/fakes.h"

namespace {

struct Recorder : CommandTarget {
  std::string ran;
  void RunSelected() override { ran = "run"; }
  void SaveToFolder() override { ran = "save"; }
  void Copy() override { ran = "copy"; }
  void Paste() override { ran = "paste"; }
  void Delete() override { ran = "delete"; }
  void SelectAll() override { ran = "all"; }
  void Refresh() override { ran = "refresh"; }
  void NextDevice() override { ran = "next"; }
  void Pause() override { ran = "pause"; }
  void BackUp() override { ran = "backup"; }
};

TEST(CommandsTest, ItemsEnabledByTheListsState) {
  // Run, save, copy, paste, delete, select all, F5, F6, pause, backup.
  const struct { int items, selected; bool runnable, clipboard; const char* enabled; } rows[] = {
      {0, 0, false, false, "0000001110"},
      {0, 0, false, true, "0001001110"},
      {3, 1, true, false, "1110111111"},
      {3, 2, false, false, "0110111111"},
  };
  for (const auto& r : rows) {
    ListState state;
    state.items = r.items, state.selected = r.selected, state.caretRunnable = r.runnable, state.clipboardHasFiles = r.clipboard;
    std::string enabled;
    for (size_t i = 0; i < kCommandCount; ++i) enabled += CommandEnabled(kCommands[i], state) ? '1' : '0';
    EXPECT_EQ(r.enabled, enabled) << r.items << " items, " << r.selected << " selected";
  }
  MemoryList list;
  list.items = {{"     1 a.txt", true}, {"     1 B.PEX", false}};
  list.caret = 1;
  ListState state = StateOfList(list, false);
  EXPECT_EQ("2 1 1", std::to_string(state.items) + " " + std::to_string(state.selected) + " " + std::to_string(state.caretRunnable));
}

TEST(CommandsTest, KeysRunTheirItemsCommands) {
  const struct { unsigned key, modifiers; const char* ran; } rows[] = {
      {0x0D, kShift, "run"}, {0x2E, kCtrl, "delete"}, {0x74, kCtrl | kShift, "refresh"}, {0x75, 0, "next"}, {0x13, 0, "pause"},
      {'C', kCtrl, "copy"}, {0x2D, kCtrl, "copy"}, {'V', kCtrl, "paste"}, {0x2D, kShift, "paste"}, {'A', kCtrl, "all"},
      {'C', 0, ""}, {'V', kCtrl | kShift, ""}, {0x2D, 0, ""}, {'A', kShift, ""},
  };
  for (const auto& r : rows) {
    Recorder target;
    if (const Command* command = CommandForKey(r.key, r.modifiers)) RunCommand(target, *command);
    EXPECT_EQ(r.ran, target.ran) << std::hex << r.key << " " << r.modifiers;
  }
}

}  // namespace
