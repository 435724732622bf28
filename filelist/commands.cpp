#include "filelist/commands.h"


namespace {

// Virtual-key codes, as Windows numbers them.
enum : unsigned {
  kEnter = 0x0D, kPause = 0x13, kInsert = 0x2D, kDelete = 0x2E, kF2 = 0x71, kF5 = 0x74, kF6 = 0x75,
  kKeyA = 'A', kKeyC = 'C', kKeyV = 'V',
};

}  // namespace

const Command kCommands[] = {
    {1, "実行(&R)\tEnter", {{kEnter, kAnyModifiers}}, Needs::kRunnable, &CommandTarget::RunSelected, false},
    {2, "フォルダへ保存(&S)...", {}, Needs::kSelection, &CommandTarget::SaveToFolder, false},
    {3, "コピー(&C)\tCtrl+C", {{kKeyC, kCtrl}, {kInsert, kCtrl}}, Needs::kSelection, &CommandTarget::Copy, false},
    {4, "貼り付け(&V)\tCtrl+V", {{kKeyV, kCtrl}, {kInsert, kShift}}, Needs::kClipboardFiles, &CommandTarget::Paste, false},
    {5, "削除(&D)\tDel", {{kDelete, kAnyModifiers}}, Needs::kSelection, &CommandTarget::Delete, false},
    {6, "名前の変更(&M)\tF2", {{kF2, kNoModifiers}}, Needs::kOneSelected, &CommandTarget::Rename, false},
    {7, "すべて選択(&A)\tCtrl+A", {{kKeyA, kCtrl}}, Needs::kItems, &CommandTarget::SelectAll, true},
    {8, "最新の情報に更新(&E)\tF5", {{kF5, kAnyModifiers}}, Needs::kNothing, &CommandTarget::Refresh, false},
    {9, "次のP/ECE(&N)\tF6", {{kF6, kAnyModifiers}}, Needs::kNothing, &CommandTarget::NextDevice, false},
    {10, "一時停止(&P)\tPause", {{kPause, kAnyModifiers}}, Needs::kNothing, &CommandTarget::Pause, false},
    {11, "バックアップ(&B)...", {}, Needs::kItems, &CommandTarget::BackUp, true},
};
const size_t kCommandCount = sizeof kCommands / sizeof kCommands[0];
const int kDefaultCommandId = 1;

const Command* CommandForKey(unsigned key, unsigned modifiers) {
  for (const Command& command : kCommands)
    for (const KeyBinding& binding : command.keys)
      if (binding.key == key && (binding.modifiers == kAnyModifiers || binding.modifiers == modifiers)) return &command;
  return nullptr;
}

const Command* CommandForId(int id) {
  for (const Command& command : kCommands)
    if (command.id == id) return &command;
  return nullptr;
}

ListState StateOfList(ListControl& list, bool clipboardHasFiles) {
  ListState state;
  state.items = list.Count();
  state.selected = static_cast<int>(list.SelectedIndexes(2).size());
  state.caretRunnable = CaretRunnable(list) && list.Selected(list.CaretIndex());
  state.clipboardHasFiles = clipboardHasFiles;
  return state;
}

bool CommandEnabled(const Command& command, const ListState& state) {
  switch (command.needs) {
    case Needs::kRunnable: return state.caretRunnable;
    case Needs::kSelection: return state.selected > 0;
    case Needs::kOneSelected: return state.selected == 1;
    case Needs::kItems: return state.items > 0;
    case Needs::kClipboardFiles: return state.clipboardHasFiles;
    default: return true;
  }
}

void RunCommand(CommandTarget& target, const Command& command) {
  (target.*command.run)();
}
