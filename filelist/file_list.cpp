#include "filelist/file_list.h"

#include <algorithm>

#include "app/messages.h"
#include "app/operations.h"
#include "app/path_util.h"
#include "app/platform.h"
#include "device/connection.h"
#include "device/pieceif.h"
#include "device/directory.h"
#include "filelist/item_text.h"

std::vector<DirEntry> EntriesOf(ListControl& list, const std::vector<int>& indexes) {
  std::vector<DirEntry> entries;
  for (int index : indexes)
    if (const DirEntry* entry = list.Entry(index)) entries.push_back(*entry);
  return entries;
}

std::vector<DirEntry> SelectedEntries(ListControl& list) { return EntriesOf(list, list.SelectedIndexes(kMaxSelectedItems)); }

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
    int index = list.Insert(next, *entry);
    if (index < 0) continue;   // refused: not in the list, so never selected
    next = index + 1;
    if ((selectThese && PathSelectsName(*selectThese, entry->name)) || (!selectName.empty() && entry->name == selectName))
      list.Select(index);
  }
  list.SetRedraw(true);
  list.SetTitle(std::string(kAppTitle) + " - " + listing.statusText);
  return true;
}

bool ListWritten(ListControl& list, const PathList& selectThese, const std::vector<WrittenFile>& written) {
  bool read = RefreshFileList(list, &selectThese);
  std::vector<DirEntry> listed;
  for (int i = 0; i < list.Count(); ++i) listed.push_back(*list.Entry(i));
  std::vector<WrittenFile> shortOnes = ShortWrites(written, listed);
  if (AskToWriteAgain(shortOnes))
    TheOperations().Submit(kinds::kWrite, [&list, shortOnes] {
      PathList paths;
      for (const WrittenFile& file : shortOnes) paths.push_back(file.hostPath);
      ListWritten(list, paths, WriteAgain(shortOnes));
    });
  return read;
}

void DeleteSelectedFiles(ListControl& list) {
  WaitCursor wait;
  // The files are the ones selected when the key was pressed: the list may be
  // read again before the question is answered.
  std::vector<DirEntry> files = SelectedEntries(list);
  if (files.empty()) return;
  const char* question = files.size() == 1 ? "ファイルを削除してもよろしいですか？"
                                           : "これらのファイルを削除してもよろしいですか？";
  if (Show(question, kConfirmStyle) != IDYES) return;
  if (!ConnectDevice()) {
    Show(kCannotConnect, kErrorStyle);
  } else {
    for (const DirEntry& file : files) {
      if (EqualsIgnoreAsciiCase(file.name, kStartupName) && Show(kStartupDeleteQuestion, kConfirmStyle) != IDYES)
        continue;
      int answer = IDIGNORE;
      while (ismPFFSDelete(file.name.c_str()) != 0 && (answer = Show(kDeleteFailed, kRetryStyle)) == IDRETRY) {
      }
      if (answer == IDABORT) break;
    }
  }
  DisconnectDevice();
  RefreshFileList(list);
}

namespace {

// The .pex item with the focus, or null.
const DirEntry* CaretProgram(ListControl& list) {
  const DirEntry* entry = list.Entry(list.CaretIndex());
  return entry && EqualsIgnoreAsciiCase(SplitDeviceName(entry->name).extension, ".pex") ? entry : nullptr;
}

}  // namespace

bool CaretRunnable(ListControl& list) { return CaretProgram(list) != nullptr; }

void RunSelectedFile(ListControl& list, void (*runProgram)(const std::string& name)) {
  if (list.ShiftOrCtrlDown()) return;
  if (const DirEntry* program = CaretProgram(list)) runProgram(program->name);
}
