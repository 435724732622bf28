// The rename dialog (template 133): the file's name in an edit box, the part
// before the extension selected. A name the device cannot take is refused
// with a box, and the dialog stays.
#ifndef QUILLET_FILELIST_RENAME_DIALOG_WIN32_H
#define QUILLET_FILELIST_RENAME_DIALOG_WIN32_H

#include <string>

#include "app/modal_dialog_win32.h"

class RenameDialog : public ModalDialog {
 public:
  explicit RenameDialog(const std::string& oldName);
  // True with the new name (device text, lowered); false when cancelled or
  // left as it was.
  bool Ask(HWND owner, std::string* newName);

 protected:
  bool OnInit() override;
  bool OnOk() override;

 private:
  std::string oldName_, newName_;
};

#endif
