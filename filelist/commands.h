// The file list's commands: one table gives each its menu item, its keys
// and when it can act, so that a key and its item cannot drift apart. The
// menu is built from it in its order, and keys are looked up in it.
#ifndef QUILLET_FILELIST_COMMANDS_H
#define QUILLET_FILELIST_COMMANDS_H

#include <stddef.h>

#include "filelist/file_list.h"

// What the commands act on: the list window implements each.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  virtual void RunSelected() = 0;
  virtual void SaveToFolder() = 0;
  virtual void Copy() = 0;
  virtual void Paste() = 0;
  virtual void Delete() = 0;
  virtual void Rename() = 0;
  virtual void SelectAll() = 0;
  virtual void Refresh() = 0;
  virtual void NextDevice() = 0;
  virtual void Pause() = 0;
  virtual void BackUp() = 0;
};

// What decides whether a menu item is enabled.
struct ListState {
  int items = 0;
  int selected = 0;
  // The item with the focus is a selected program: 実行 runs it. (Enter
  // runs the item with the focus, selected or not.)
  bool caretRunnable = false;
  bool clipboardHasFiles = false;
};

ListState StateOfList(ListControl& list, bool clipboardHasFiles);

enum class Needs { kNothing, kRunnable, kSelection, kOneSelected, kItems, kClipboardFiles };
// Modifier keys of a binding; kAnyModifiers matches whatever is held, as the
// list's first keys always did.
enum : unsigned { kNoModifiers = 0, kCtrl = 1, kShift = 2, kAnyModifiers = 4 };

struct KeyBinding {
  unsigned key;         // virtual-key code; 0 for none
  unsigned modifiers;
};

struct Command {
  int id;                 // the menu item's id
  const char* text;       // the menu item (device text), its key after a tab
  KeyBinding keys[2];
  Needs needs;
  void (CommandTarget::*run)();
  bool separatorBefore;
};

extern const Command kCommands[];
extern const size_t kCommandCount;
// The menu's default item.
extern const int kDefaultCommandId;

const Command* CommandForKey(unsigned key, unsigned modifiers);
const Command* CommandForId(int id);
bool CommandEnabled(const Command& command, const ListState& state);
// Runs the command as part of the operation under way.
void RunCommand(CommandTarget& target, const Command& command);

#endif
