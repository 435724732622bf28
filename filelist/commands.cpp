#include "filelist/commands.h"

namespace {

// Virtual-key codes, as Windows numbers them.
enum : unsigned { kEnter = 0x0D, kPause = 0x13, kInsert = 0x2D, kDelete = 0x2E, kF1 = 0x70, kF2 = 0x71, kF5 = 0x74, kF6 = 0x75 };

std::string KeyName(unsigned key) {
  switch (key) {
    case kEnter: return "Enter";
    case kPause: return "Pause";
    case kInsert: return "Insert";
    case kDelete: return "Del";
    default: return key >= kF1 && key < kF1 + 24 ? "F" + std::to_string(key - kF1 + 1) : std::string(1, static_cast<char>(key));
  }
}

}  // namespace

const Command kCommands[] = {
    {CommandId::kRun, "実行(&R)", Needs::kSelectedProgram, kinds::kRun, &CommandTarget::RunSelected, false},
    {CommandId::kSaveToFolder, "フォルダへ保存(&S)...", Needs::kSelection, kinds::kRead, &CommandTarget::SaveToFolder, false},
    {CommandId::kCopy, "コピー(&C)", Needs::kSelection, kinds::kRead, &CommandTarget::Copy, false},
    {CommandId::kPaste, "貼り付け(&V)", Needs::kClipboardFiles, kinds::kWrite, &CommandTarget::Paste, false},
    {CommandId::kDelete, "削除(&D)", Needs::kSelection, kinds::kDelete, &CommandTarget::Delete, false},
    {CommandId::kRename, "名前の変更(&M)", Needs::kOneSelected, kinds::kRename, &CommandTarget::Rename, false},
    {CommandId::kSelectAll, "すべて選択(&A)", Needs::kItems, kinds::kSelect, &CommandTarget::SelectAll, true},
    {CommandId::kRefresh, "最新の情報に更新(&E)", Needs::kNothing, kinds::kRefreshAndBeep, &CommandTarget::Refresh, false},
    {CommandId::kNextDevice, "次のP/ECE(&N)", Needs::kNothing, kinds::kRefreshAndBeep, &CommandTarget::NextDevice, false},
    {CommandId::kPause, "一時停止(&P)", Needs::kNothing, kinds::kPause, &CommandTarget::Pause, false},
    {CommandId::kBackUp, "バックアップ(&B)...", Needs::kItems, kinds::kRead, &CommandTarget::BackUp, true},
};
const size_t kCommandCount = sizeof kCommands / sizeof kCommands[0];

// In this order; a command's first binding is the one its menu item shows.
const KeyBinding kKeyBindings[] = {
    {kEnter, kAnyModifiers, CommandId::kRun, Needs::kFocusedProgram},
    {'C', kCtrl, CommandId::kCopy, Needs::kNothing},
    {kInsert, kCtrl, CommandId::kCopy, Needs::kNothing},
    {'V', kCtrl, CommandId::kPaste, Needs::kNothing},
    {kInsert, kShift, CommandId::kPaste, Needs::kNothing},
    {kDelete, kAnyModifiers, CommandId::kDelete, Needs::kNothing},
    {kF2, kNoModifiers, CommandId::kRename, Needs::kNothing},
    {'A', kCtrl, CommandId::kSelectAll, Needs::kNothing},
    {kF5, kAnyModifiers, CommandId::kRefresh, Needs::kNothing},
    {kF6, kAnyModifiers, CommandId::kNextDevice, Needs::kNothing},
    {kPause, kAnyModifiers, CommandId::kPause, Needs::kNothing},
};
const size_t kKeyBindingCount = sizeof kKeyBindings / sizeof kKeyBindings[0];

const Command& CommandById(CommandId id) {
  for (const Command& command : kCommands)
    if (command.id == id) return command;
  return kCommands[0];
}

const KeyBinding* BindingForKey(unsigned key, unsigned modifiers) {
  for (const KeyBinding& binding : kKeyBindings) {
    bool any = binding.modifiers == kAnyModifiers && !(modifiers & kAlt);
    if (binding.key == key && (any || binding.modifiers == modifiers)) return &binding;
  }
  return nullptr;
}

std::string MenuText(const Command& command) {
  for (const KeyBinding& binding : kKeyBindings) {
    if (binding.command != command.id) continue;
    std::string held = binding.modifiers == kAnyModifiers ? "" : std::string(binding.modifiers & kCtrl ? "Ctrl+" : "") +
                                                                     (binding.modifiers & kShift ? "Shift+" : "") +
                                                                     (binding.modifiers & kAlt ? "Alt+" : "");
    return std::string(command.text) + "\t" + held + KeyName(binding.key);
  }
  return command.text;
}

ListState StateOfList(ListControl& list, bool clipboardHasFiles) {
  ListState state;
  state.items = list.Count();
  state.selected = static_cast<int>(list.SelectedIndexes(2).size());
  state.focusedProgram = CaretRunnable(list);
  state.focusedSelected = list.Selected(list.CaretIndex());
  state.clipboardHasFiles = clipboardHasFiles;
  return state;
}

bool Holds(Needs needs, const ListState& state) {
  switch (needs) {
    case Needs::kFocusedProgram: return state.focusedProgram;
    case Needs::kSelectedProgram: return state.focusedProgram && state.focusedSelected;
    case Needs::kSelection: return state.selected > 0;
    case Needs::kOneSelected: return state.selected == 1;
    case Needs::kItems: return state.items > 0;
    case Needs::kClipboardFiles: return state.clipboardHasFiles;
    default: return true;
  }
}
