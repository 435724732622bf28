// The tiny dispatch layer of the program's windows: each window keeps a
// table that maps a message to a member handler, at the top of its file.
#ifndef QUILLET_APP_MESSAGE_MAP_WIN32_H
#define QUILLET_APP_MESSAGE_MAP_WIN32_H

#include <windows.h>

template <class Window>
struct MessageEntry {
  UINT message;
  LRESULT (Window::*handler)(WPARAM wParam, LPARAM lParam);
};

// Calls the handler of message if the table has one.
template <class Window, size_t N>
bool DispatchMessageTo(Window* window, const MessageEntry<Window> (&table)[N], UINT message,
                       WPARAM wParam, LPARAM lParam, LRESULT* result) {
  for (const MessageEntry<Window>& entry : table) {
    if (entry.message == message) {
      *result = (window->*entry.handler)(wParam, lParam);
      return true;
    }
  }
  return false;
}

// The same for a dialog (app/modal_dialog_win32.h): a handler returns TRUE
// when it handled its message and FALSE to leave it to the dialog manager,
// but the handler of a message that asks for an answer returns the answer.
template <class Window, size_t N>
bool DispatchDialogMessage(Window* window, const MessageEntry<Window> (&table)[N], UINT message, WPARAM wParam,
                           LPARAM lParam, LRESULT* result) {
  if (!DispatchMessageTo(window, table, message, wParam, lParam, result)) return false;
  return *result != 0 || message == WM_COPYDATA || message == WM_QUERYENDSESSION || message == WM_QUERYDRAGICON;
}

#endif
