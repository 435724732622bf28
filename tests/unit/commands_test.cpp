// The list's commands: which menu items are enabled for which state of the
// list, and which command each key runs.
#include <gtest/gtest.h>

#include "filelist/commands.h"
#include "tests/support/fakes.h"

namespace {

TEST(CommandsTest, ItemsEnabledByTheListsState) {
  // Run, save, copy, paste, delete, rename, select all, F5, F6, pause, backup.
  const struct { int items, selected; bool runnable, clipboard; const char* enabled; } rows[] = {
      {0, 0, false, false, "00000001110"},
      {0, 0, false, true, "00010001110"},
      {3, 1, true, false, "11101111111"},
      {3, 2, false, false, "01101011111"},
  };
  for (const auto& r : rows) {
    ListState state;
    state.items = r.items, state.selected = r.selected, state.caretRunnable = r.runnable, state.clipboardHasFiles = r.clipboard;
    std::string enabled;
    for (size_t i = 0; i < kCommandCount; ++i) enabled += CommandEnabled(kCommands[i], state) ? '1' : '0';
    EXPECT_EQ(r.enabled, enabled) << r.items << " items, " << r.selected << " selected";
  }
  // 実行 runs the program with the focus only when it is selected too (a
  // right click on empty space leaves the focus and clears the selection).
  MemoryList list;
  list.items = {{"     1 a.txt", true}, {"     1 B.PEX", false}};
  list.caret = 1;
  std::string states;
  for (bool selected : {false, true}) {
    list.items[1].selected = selected;
    ListState state = StateOfList(list, false);
    states += std::to_string(state.items) + std::to_string(state.selected) + std::to_string(state.caretRunnable) + " ";
  }
  EXPECT_EQ("210 221 ", states);
}

// A key runs the command of the item that shows it.
TEST(CommandsTest, KeysAreTheirItems) {
  const struct { unsigned key, modifiers; const char* item; } rows[] = {
      {0x0D, kShift, "実行(&R)\tEnter"}, {0x2E, kCtrl, "削除(&D)\tDel"}, {0x74, kCtrl | kShift, "最新の情報に更新(&E)\tF5"},
      {0x75, 0, "次のP/ECE(&N)\tF6"}, {0x13, 0, "一時停止(&P)\tPause"}, {'C', kCtrl, "コピー(&C)\tCtrl+C"}, {0x2D, kCtrl, "コピー(&C)\tCtrl+C"},
      {'V', kCtrl, "貼り付け(&V)\tCtrl+V"}, {0x2D, kShift, "貼り付け(&V)\tCtrl+V"}, {'A', kCtrl, "すべて選択(&A)\tCtrl+A"},
      {0x71, 0, "名前の変更(&M)\tF2"}, {'C', 0, ""}, {'V', kCtrl | kShift, ""}, {0x2D, 0, ""}, {'A', kShift, ""}, {0x71, kCtrl, ""},
  };
  for (const auto& r : rows) {
    const Command* command = CommandForKey(r.key, r.modifiers);
    EXPECT_EQ(r.item, std::string(command ? command->text : "")) << std::hex << r.key << " " << r.modifiers;
  }
}

}  // namespace
