// The file list's commands, on an abstract list control so they run the same
// on the Windows list box and in tests: refresh in the fixed order with the
// given paths selected, delete the selected files, run the selected program.
// Each item is the directory entry it shows (the name as the device's bytes,
// the size): code page 932 shows some characters under two codes, so a text
// read back from the list box could name another file.
#ifndef QUILLET_FILELIST_FILE_LIST_H
#define QUILLET_FILELIST_FILE_LIST_H

#include <string>
#include <vector>

#include "app/path_list.h"
#include "device/directory.h"
#include "transfer/transfer.h"

constexpr size_t kMaxSelectedItems = 256;

class ListControl {
 public:
  virtual ~ListControl() = default;
  virtual void ResetContent() = 0;
  virtual int Count() = 0;
  // The entry an item shows; null when there is no such item.
  virtual const DirEntry* Entry(int index) = 0;
  // Inserts an item showing entry: its index, or a negative value when
  // refused.
  virtual int Insert(int index, const DirEntry& entry) = 0;
  virtual void Select(int index) = 0;
  virtual bool Selected(int index) = 0;
  // At most max selected indexes, ascending.
  virtual std::vector<int> SelectedIndexes(size_t max) = 0;
  // The item with the focus rectangle, or -1.
  virtual int CaretIndex() = 0;
  virtual void SetTitle(const std::string& title) = 0;
  // Whether Shift or Ctrl is held at this moment.
  virtual bool ShiftOrCtrlDown() = 0;
  // Redrawing off while the list is filled, and room for count items.
  virtual void SetRedraw(bool on) {}
  virtual void Reserve(size_t count) {}
};

// The entries of these items, in this order; of the selected ones, at most
// 256 in list order.
std::vector<DirEntry> EntriesOf(ListControl& list, const std::vector<int>& indexes);
std::vector<DirEntry> SelectedEntries(ListControl& list);

// Re-reads the directory and fills the list; true when it was read. The
// items named by selectThese (host paths) are selected, and the one whose
// device name is selectName.
bool RefreshFileList(ListControl& list, const PathList* selectThese = nullptr, const std::string& selectName = "");
// After files were written: RefreshFileList with them selected, and the
// written files the list then shows smaller than they are offered to be
// written again, as an operation of its own. True when the list was read.
bool ListWritten(ListControl& list, const PathList& selectThese, const std::vector<WrittenFile>& written);
void DeleteSelectedFiles(ListControl& list);
// runProgram is called with the device name of the .pex item with the focus.
void RunSelectedFile(ListControl& list, void (*runProgram)(const std::string& name));
// Whether the item with the focus is a program that Enter would run.
bool CaretRunnable(ListControl& list);

#endif
