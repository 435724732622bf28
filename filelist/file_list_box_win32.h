// FileListBox: control 1000 of the main window, a subclassed list box that
// carries every file command. Each item is the directory entry it shows.
#ifndef QUILLET_FILELIST_FILE_LIST_BOX_WIN32_H
#define QUILLET_FILELIST_FILE_LIST_BOX_WIN32_H

#include <windows.h>

#include <string>
#include <vector>

#include "filelist/commands.h"
#include "filelist/file_list.h"

// The main window reflects the list's notifications back to it with this
// message (wParam and lParam of the original WM_COMMAND).
constexpr UINT kReflectedCommand = WM_APP + 1;

class FileListBox : public ListControl, public CommandTarget {
 public:
  // Subclasses the list box control.
  void Attach(HWND control);
  HWND Handle() const { return hwnd_; }

  bool RefreshFileList(const PathList* selectThese = nullptr) {
    return ::RefreshFileList(*this, selectThese);
  }
  // A key-down (alt: with Alt held, as WM_SYSKEYDOWN): true when it was a
  // command's, which then ran unless an operation runs; false leaves it to
  // the list box, or to the system.
  bool TakeKey(unsigned key, bool alt);

  // ListControl
  void ResetContent() override;
  int Count() override;
  const DirEntry* Entry(int index) override;
  int Insert(int index, const DirEntry& entry) override;
  void Select(int index) override;
  bool Selected(int index) override;
  std::vector<int> SelectedIndexes(size_t max) override;
  int CaretIndex() override;
  void SetTitle(const std::string& title) override;
  bool ShiftOrCtrlDown() override;
  void SetRedraw(bool on) override;
  void Reserve(size_t count) override;

  // CommandTarget: the list's commands (filelist/commands.h).
  void RunSelected() override;
  void SaveToFolder() override;
  void Copy() override;
  void Paste() override;
  void Delete() override;
  void Rename() override;
  void SelectAll() override;
  void Refresh() override;
  void NextDevice() override;
  void Pause() override;
  void BackUp() override;

  // Message handlers (the table is at the top of the .cpp file).
  LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnSysKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
  LRESULT OnReflectedCommand(WPARAM wParam, LPARAM lParam);

 private:
  void WriteFiles(const PathList& list);
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
  // The item under a point of the list's client area, or -1 (the list box
  // names the nearest item for a point below the last).
  int ItemAt(POINT point);
  void ShowMenu(LPARAM at);
  // Asks for a folder (title: device text); true with it, ending in a
  // separator.
  bool ChooseFolder(const char* title, std::string* folder);

  HWND hwnd_ = nullptr;
  WNDPROC previous_ = nullptr;
  std::vector<DirEntry> entries_;   // what each item shows, in list order
  std::string lastFolder_;          // where the last save went, in this run
};

#endif
