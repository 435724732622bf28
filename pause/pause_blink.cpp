#include "pause/pause_blink.h"

const char* PauseWord() { return "ＰＡＵＳＥ"; }

const char* PauseTextAtTick(int count) {
  switch (count % 4) {
    case 0: return PauseWord();
    case 3: return "";
    default: return nullptr;
  }
}
