// Texts of the settings dialog that need no window.
#ifndef QUILLET_SETTINGS_SETTINGS_TEXT_H
#define QUILLET_SETTINGS_SETTINGS_TEXT_H

#include <string>

// The longest swap folder text the dialog accepts.
constexpr int kFolderTextLimit = 256;

// The message refusing a longer text, naming limit.
std::string TextLimitMessage(int limit);

#endif
