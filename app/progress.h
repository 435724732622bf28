// How far a long operation has got, and the texts that say so: in the
// window's title and on its taskbar button once it has run for half a
// second, and in the progress window once a second has passed since its
// first library call (app/progress_window_win32.h).
#ifndef QUILLET_APP_PROGRESS_H
#define QUILLET_APP_PROGRESS_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// One step: a file about to move (its verb, its place among the
// operation's files, its name), and the bytes of the whole operation done
// before it and in all.
struct ProgressStep {
  const char* verb = nullptr;   // null: the operation kind's
  size_t index = 0, count = 0;  // from 1; no count: no place (a file swapped out)
  std::string name;             // device text
  uint64_t bytesDone = 0, bytesTotal = 0;
};

// Tells the platform of a step (device text throughout).
void ShowStep(ProgressStep step);

// The title's "書き込み中 2/12 ゲーム.pex" and the window's
// "書き込み中 2/12: ゲーム.pex".
std::string StepTitle(const ProgressStep& step);
std::string StepLine(const ProgressStep& step);
// "12 KB / 48 KB".
std::string BytesLine(uint64_t done, uint64_t total);
// "残り約 0:25" from the rate so far; nothing before two seconds or bytes.
std::string TimeLeftLine(uint64_t done, uint64_t total, uint32_t elapsedMs);
// "待機中: 2件"; nothing when no request waits.
std::string WaitingLine(size_t waiting);
// What the end of a multi-file operation says when files were skipped or
// failed ("3件中2件を書き込みました。" and the names left out, one a line);
// nothing when all went well or one file was tried.
std::string LeftOutNotice(const char* did, size_t tried, const std::vector<std::string>& leftOut);

// A long operation's progress for the lifetime of the object.
class ProgressScope {
 public:
  ProgressScope();
  ~ProgressScope();
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;
};

#endif
