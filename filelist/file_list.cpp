#include "filelist/file_list.h"

#include <algorithm>

#include "app/messages.h"
#include "app/path_util.h"
#include "app/platform.h"
#include "device/connection.h"
#include "device/pieceif.h"
#include "filelist/directory.h"
#include "filelist/item_text.h"

const char kAppTitle[] = "Quillet";

namespace {


}  // namespace

bool RefreshFileList(ListControl& list, const PathList* selectThese, const std::string& selectName) {
  WaitCursor wait;
  DirListing listing;
  bool read = listing.ReadDirectory();
  // Emptied and filled with its redrawing off: the list box then lays
  // itself out once, not at every item.
  list.SetRedraw(false);
  list.ResetContent();
  if (!read) {
    list.SetRedraw(true);
    list.SetTitle(kAppTitle);
    return false;
  }
  // The fixed order, made before the list is filled so that every item goes
  // to its end: startup.pex first, the later of two on top, then the rest by
  // unsigned bytes, equal names in device order.
  std::vector<const DirEntry*> order;
  for (auto entry = listing.entries.rbegin(); entry != listing.entries.rend(); ++entry)
    if (entry->name == kStartupName) order.push_back(&*entry);
  size_t startups = order.size();
  for (const DirEntry& entry : listing.entries)
    if (entry.name != kStartupName) order.push_back(&entry);
  std::stable_sort(order.begin() + startups, order.end(),
                   [](const DirEntry* a, const DirEntry* b) { return NameGreater(b->name, a->name); });
  list.Reserve(order.size());
  int next = 0;
  for (const DirEntry* entry : order) {
    int index = list.InsertString(next, FormatItemText(*entry));
    if (index < 0) continue;   // refused: not in the list, so never selected
    next = index + 1;
    if ((selectThese && PathSelectsName(*selectThese, entry->name)) || (!selectName.empty() && entry->name == selectName))
      list.Select(index);
  }
  list.SetRedraw(true);
  list.SetTitle(std::string(kAppTitle) + " - " + listing.statusText);
  return true;
}

void DeleteSelectedFiles(ListControl& list) {
  WaitCursor wait;
  std::vector<int> selected = list.SelectedIndexes(kMaxSelectedItems);
  if (selected.empty()) return;
  // The files are the ones selected when the key was pressed: the list may be
  // read again before the question is answered. An item that gives no name
  // ends the deleting where it stands in the list.
  std::vector<std::string> names;
  bool unnamed = false;
  for (int index : selected) {
    std::string text, name;
    if (!list.Text(index, &text) || !NameFromItemText(text, &name)) {
      unnamed = true;
      break;
    }
    names.push_back(name);
  }
  const char* question = selected.size() == 1 ? "ファイルを削除してもよろしいですか？"
                                              : "これらのファイルを削除してもよろしいですか？";
  if (Show(question, kConfirmStyle) != IDYES) return;
  if (!ConnectDevice()) {
    Show(kCannotConnect, kErrorStyle);
  } else {
    bool abort = false;
    for (const std::string& name : names) {
      if (EqualsIgnoreAsciiCase(name, kStartupName) &&
          Show(kStartupDeleteQuestion, kConfirmStyle) != IDYES)
        continue;
      while (ismPFFSDelete(name.c_str()) != 0) {
        int answer = Show(kDeleteFailed, kRetryStyle);
        if (answer == IDRETRY) continue;
        abort = answer == IDABORT;
        break;
      }
      if (abort) break;
    }
    if (unnamed && !abort) Show(kInternalError, kErrorStyle);
  }
  DisconnectDevice();
  RefreshFileList(list);
}

namespace {

enum class Caret { kNone, kUnnamed, kOther, kProgram };

// The item with the focus, and its name.
Caret CaretItem(ListControl& list, std::string* name) {
  int index = list.CaretIndex();
  if (index < 0) return Caret::kNone;
  std::string text;
  if (!list.Text(index, &text) || !NameFromItemText(text, name)) return Caret::kUnnamed;
  return EqualsIgnoreAsciiCase(SplitDeviceName(*name).extension, ".pex") ? Caret::kProgram : Caret::kOther;
}

}  // namespace

bool CaretRunnable(ListControl& list) {
  std::string name;
  return CaretItem(list, &name) == Caret::kProgram;
}

void RunSelectedFile(ListControl& list, void (*runProgram)(const std::string& name)) {
  if (list.ShiftOrCtrlDown()) return;
  std::string name;
  switch (CaretItem(list, &name)) {
    case Caret::kUnnamed:
      Show(kInternalError, kErrorStyle);
      break;
    case Caret::kProgram:
      runProgram(name);
      break;
    default:
      break;
  }
}

std::vector<std::string> ItemTexts(ListControl& list, const std::vector<int>& indexes) {
  std::vector<std::string> texts;
  for (int index : indexes) {
    std::string text;
    list.Text(index, &text);
    texts.push_back(text);
  }
  return texts;
}
