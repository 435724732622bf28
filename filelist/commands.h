// The file list's commands. Each has an id and one row: its menu item, when
// the item is enabled, the kind of operation it runs as, and the method of
// the list that carries it out. Keys are a table of their own, in a stated
// order, and the menu's key labels are made from it, so that a key and its
// item cannot drift apart.
#ifndef QUILLET_FILELIST_COMMANDS_H
#define QUILLET_FILELIST_COMMANDS_H

#include <stddef.h>

#include <string>

#include "app/operations.h"
#include "filelist/file_list.h"

enum class CommandId { kRun = 1, kSaveToFolder, kCopy, kPaste, kDelete, kRename, kSelectAll, kRefresh, kNextDevice,
                       kPause, kBackUp };

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

// What decides whether a command can act.
struct ListState {
  int items = 0;
  int selected = 0;
  bool focusedProgram = false;   // the item with the focus is a .pex
  bool focusedSelected = false;  // and it is selected
  bool clipboardHasFiles = false;
};
ListState StateOfList(ListControl& list, bool clipboardHasFiles);

enum class Needs { kNothing, kFocusedProgram, kSelectedProgram, kSelection, kOneSelected, kItems, kClipboardFiles };
bool Holds(Needs needs, const ListState& state);

struct Command {
  CommandId id;
  const char* text;   // the menu item, without its key (device text)
  Needs needs;        // when the menu item is enabled
  const OperationKind& kind;
  void (CommandTarget::*run)();
  bool separatorBefore;
};
extern const Command kCommands[];
extern const size_t kCommandCount;
const Command& CommandById(CommandId id);

// Modifier keys of a binding. kAnyModifiers matches whatever of Ctrl and
// Shift is held; Alt is matched only by a binding that names it, so that
// the system keeps its own Alt chords.
enum : unsigned { kNoModifiers = 0, kCtrl = 1, kShift = 2, kAlt = 4, kAnyModifiers = 8 };
// A key that runs a command. The first binding that matches a key wins; the
// first binding of a command labels its menu item. needs: the binding's own
// rule (Enter runs the item with the focus, selected or not).
struct KeyBinding {
  unsigned key;   // virtual-key code
  unsigned modifiers;
  CommandId command;
  Needs needs;
};
extern const KeyBinding kKeyBindings[];
extern const size_t kKeyBindingCount;

const KeyBinding* BindingForKey(unsigned key, unsigned modifiers);
// The menu item's text: the command's, a tab and its key ("コピー(&C)\tCtrl+C").
std::string MenuText(const Command& command);

#endif
