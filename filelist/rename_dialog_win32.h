// The rename dialog (template 133): the file's name in an edit box, the part
// before the extension selected. A name the device cannot take is refused
// with a box, and the dialog stays.
#ifndef QUILLET_FILELIST_RENAME_DIALOG_WIN32_H
#define QUILLET_FILELIST_RENAME_DIALOG_WIN32_H

#include <windows.h>

#include <string>

class RenameDialog {
 public:
  explicit RenameDialog(const std::string& oldName) : oldName_(oldName) {}
  // True with the new name (device text, lowered); false when cancelled or
  // left as it was.
  bool Ask(HWND owner, std::string* newName);

  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  std::string oldName_, newName_;
};

#endif
