// The blink of the PAUSE window's word: shown for three timer ticks, blank
// for one.
#ifndef QUILLET_PAUSE_PAUSE_BLINK_H
#define QUILLET_PAUSE_PAUSE_BLINK_H

constexpr unsigned kPauseTimerId = 1;
constexpr unsigned kPauseTimerMs = 200;

// The text to set at the tick that finds blinkCount at count, or nullptr to
// leave the text as it is.
const char* PauseTextAtTick(int count);
// The word the window shows.
const char* PauseWord();

#endif
