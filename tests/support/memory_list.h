// A list box in memory for the file list's commands: items with a selection
// flag, a caret, the modifier keys and a way to refuse an insertion.
#ifndef QUILLET_TESTS_SUPPORT_MEMORY_LIST_H
#define QUILLET_TESTS_SUPPORT_MEMORY_LIST_H

#include <string>
#include <vector>

#include "filelist/file_list.h"
#include "filelist/item_text.h"

class MemoryList : public ListControl {
 public:
  struct Item {
    std::string text;
    bool selected;
  };
  std::vector<Item> items;
  std::string title = "untouched";
  int caret = -1;
  bool modifiers = false;
  int refuseAt = -1;   // the nth insertion (0-based) is refused
  int insertions = 0;

  void ResetContent() override { items.clear(); }
  int Count() override { return static_cast<int>(items.size()); }
  bool Text(int index, std::string* text) override {
    if (index < 0 || index >= Count()) return false;
    *text = items[index].text;
    return true;
  }
  int InsertString(int index, const std::string& text) override {
    if (insertions++ == refuseAt) return -1;
    items.insert(items.begin() + index, {text, false});
    return index;
  }
  void Select(int index) override { items[index].selected = true; }
  std::vector<int> SelectedIndexes(size_t max) override {
    std::vector<int> out;
    for (int i = 0; i < Count() && out.size() < max; ++i)
      if (items[i].selected) out.push_back(i);
    return out;
  }
  int CaretIndex() override { return caret; }
  void SetTitle(const std::string& t) override { title = t; }
  bool ShiftOrCtrlDown() override { return modifiers; }

  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const Item& i : items) out.push_back(i.text);
    return out;
  }
  // The names of the items (of the selected ones only, if asked).
  std::vector<std::string> Names(bool selectedOnly = false) const {
    std::vector<std::string> out;
    for (const Item& i : items) {
      std::string name;
      if ((!selectedOnly || i.selected) && NameFromItemText(i.text, &name)) out.push_back(name);
    }
    return out;
  }
  std::vector<std::string> SelectedNames() const { return Names(true); }
  void SelectAll() {
    for (Item& i : items) i.selected = true;
  }
};

#endif
