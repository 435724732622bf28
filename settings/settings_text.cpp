#include "settings/settings_text.h"

std::string TextLimitMessage(int limit) {
  // The message's pattern is "%1 文字以内で入力してください。".
  return std::to_string(limit) + " 文字以内で入力してください。";
}
