// The list's commands: which menu items are enabled for which state of the
// list, which command each key runs, and the key the menu shows for it.
#include <gtest/gtest.h>

#include <set>

#include "filelist/commands.h"
#include "tests/support/fakes.h"

namespace {

using Ids = std::set<CommandId>;
const Ids kAlways = {CommandId::kRefresh, CommandId::kNextDevice, CommandId::kPause};

Ids Plus(Ids ids, const Ids& more) { return ids.insert(more.begin(), more.end()), ids; }

TEST(CommandsTest, ItemsEnabledByTheListsState) {
  const struct { int items, selected; bool program, focusSelected, clipboard; Ids enabled; } rows[] = {
      {0, 0, false, false, false, kAlways},
      {0, 0, false, false, true, Plus(kAlways, {CommandId::kPaste})},
      {3, 1, true, true, false, Plus(kAlways, {CommandId::kRun, CommandId::kSaveToFolder, CommandId::kCopy, CommandId::kDelete,
                                               CommandId::kRename, CommandId::kSelectAll, CommandId::kBackUp})},
      {3, 2, true, false, false, Plus(kAlways, {CommandId::kSaveToFolder, CommandId::kCopy, CommandId::kDelete,
                                                CommandId::kSelectAll, CommandId::kBackUp})},
  };
  for (const auto& r : rows) {
    ListState state;
    state.items = r.items, state.selected = r.selected, state.focusedProgram = r.program, state.focusedSelected = r.focusSelected,
    state.clipboardHasFiles = r.clipboard;
    Ids enabled;
    for (size_t i = 0; i < kCommandCount; ++i)
      if (Holds(kCommands[i].needs, state)) enabled.insert(kCommands[i].id);
    EXPECT_EQ(r.enabled, enabled) << r.items << " items, " << r.selected << " selected";
  }
  // The focus on a program, selected or not: a right click on empty space
  // leaves the focus and clears the selection.
  MemoryList list;
  list.items = {{{1, "a.txt"}, true}, {{1, "B.PEX"}, false}};
  list.caret = 1;
  std::string states;
  for (bool selected : {false, true}) {
    list.items[1].selected = selected;
    ListState state = StateOfList(list, false);
    states += std::to_string(state.items) + std::to_string(state.selected) + std::to_string(state.focusedProgram) +
              std::to_string(state.focusedSelected) + " ";
  }
  EXPECT_EQ("2110 2211 ", states);
}

// A key runs the command whose menu item shows it; Alt chords stay the
// system's.
TEST(CommandsTest, KeysAreTheirItems) {
  const struct { unsigned key, modifiers; const char* item; } rows[] = {
      {0x0D, kShift, "実行(&R)\tEnter"}, {0x2E, kCtrl, "削除(&D)\tDel"}, {0x74, kCtrl | kShift, "最新の情報に更新(&E)\tF5"},
      {0x75, 0, "次のP/ECE(&N)\tF6"}, {0x13, 0, "一時停止(&P)\tPause"}, {'C', kCtrl, "コピー(&C)\tCtrl+C"}, {0x2D, kCtrl, "コピー(&C)\tCtrl+C"},
      {'V', kCtrl, "貼り付け(&V)\tCtrl+V"}, {0x2D, kShift, "貼り付け(&V)\tCtrl+V"}, {'A', kCtrl, "すべて選択(&A)\tCtrl+A"},
      {0x71, 0, "名前の変更(&M)\tF2"}, {'C', 0, ""}, {'V', kCtrl | kShift, ""}, {0x2D, 0, ""}, {'A', kShift, ""}, {0x71, kCtrl, ""},
      {0x74, kAlt, ""}, {0x0D, kAlt, ""}, {0x2E, kAlt | kCtrl, ""},
  };
  for (const auto& r : rows) {
    const KeyBinding* binding = BindingForKey(r.key, r.modifiers);
    EXPECT_EQ(r.item, binding ? MenuText(CommandById(binding->command)) : "") << std::hex << r.key << " " << r.modifiers;
  }
  EXPECT_EQ("フォルダへ保存(&S)...", MenuText(CommandById(CommandId::kSaveToFolder))) << "no key";
}

}  // namespace
