// One transfer that has to swap three old files out for one new one, run once
// cleanly and then once for every library call it makes, with that call
// failing. Whatever fails and whatever the user answers, every file that was
// on the device is afterwards still there or in the swap folder with the same
// bytes, and no connection is left open.
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/sim_fixture.h"
#include "transfer/transfer.h"

namespace {

// What the user does with every box.
enum class Answer { kAbort, kIgnore };

struct Fault {
  int32_t status;
  Answer answer;
  const char* title;
};

const Fault kFaults[] = {
    {9, Answer::kAbort, "fails, Abort"},
    {9, Answer::kIgnore, "fails, Ignore"},
    // A call that reports success without doing anything.
    {0, Answer::kAbort, "0, no effect"},
};

const std::map<std::string, std::string> kShortBox = {
    {"LRUリストの調整に失敗しました。", "lru"},
    {"P/ECEに接続できません。", "connect"},
    {"空き容量が足りません。", "full"},
    {"ファイルの書き込みに失敗しました。", "write"},
    {"ファイルの入れ替えに失敗しました。", "swap"},
};

}  // namespace

class TransferFaultSweep : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    big = host.File("big.pex");
    host.Write("big.pex", std::string(900, 'N'));
    originals = {{"startup.pex", std::string(50, 's')},
                 {"a.pex", std::string(300, 'a')},
                 {"b.pex", std::string(300, 'b')},
                 {"c.pex", "c" + std::string(299, '\x83')}};
  }

  // Capacity 1000 with 950 bytes in use: the 900-byte file fits only once
  // a, b and c have all gone.
  void Prepare(const Fault* fault, const std::string& function, int nth) {
    piecesim::ResetAll();
    piecesim::CreateDevice(0, 1000);
    for (const char* name : {"startup.pex", "a.pex", "b.pex", "c.pex"})
      piecesim::PutFile(0, name, originals[name]);
    for (const auto& file : originals) unlink(swap.File(file.first).c_str());
    LruList.clear();
    AppSettings = AppSettingsRecord();
    AppSettings.mode = true;
    AppSettings.folder = swap.path() + "/";
    platform.shown.clear();
    platform.answers.clear();
    int answer = fault && fault->answer == Answer::kIgnore ? IDIGNORE : IDABORT;
    for (int i = 0; i < 20; ++i) platform.Answer(answer);
    if (fault) piecesim::InjectFault(function, nth, fault->status);
  }

  // Checks the run and describes its outcome for the table.
  std::string Check(const std::string& label) {
    int swapped = 0;
    for (const auto& file : originals) {
      std::string onDevice, inFolder;
      bool kept = piecesim::GetFile(0, file.first, &onDevice);
      bool copied = platform.ReadFileBytes(swap.File(file.first), &inFolder);
      if (copied) ++swapped;
      EXPECT_TRUE((kept && onDevice == file.second) || (copied && inFolder == file.second))
          << label << ": " << file.first << " was lost";
      if (kept) EXPECT_EQ(file.second, onDevice) << label << ": " << file.first;
    }
    EXPECT_TRUE(piecesim::HasFile(0, "startup.pex")) << label;
    EXPECT_EQ(0, piecesim::OpenConnections()) << label << ": a connection was left open";
    EXPECT_EQ(0, platform.waitDepth) << label;

    std::string written;
    bool isWritten = piecesim::GetFile(0, "big.pex", &written);
    if (isWritten) EXPECT_EQ(std::string(900, 'N'), written) << label;
    std::string outcome = isWritten ? "written" : "not written";
    outcome += ", " + std::to_string(swapped) + " out";
    for (const ShownMessage& box : platform.shown) {
      auto s = kShortBox.find(box.text);
      outcome += " [" + (s == kShortBox.end() ? box.text : s->second) + "]";
    }
    return outcome;
  }

  std::string big;
  std::map<std::string, std::string> originals;
  TempDir swap;
};

TEST_F(TransferFaultSweep, NothingIsLostWhicheverCallFails) {
  Prepare(nullptr, "", 0);
  TransferFiles({big});
  const std::vector<std::string> calls = CallNames();
  EXPECT_EQ("written, 3 out", Check("clean run"));
  ASSERT_EQ(3, std::count(calls.begin(), calls.end(), "ismPFFSDelete"));

  printf("%3s  %-16s", "k", "call failed");
  for (const Fault& f : kFaults) printf(" | %-28s", f.title);
  printf("\n");
  std::map<std::string, int> seen;
  for (size_t k = 1; k <= calls.size(); ++k) {
    const std::string& function = calls[k - 1];
    int nth = ++seen[function];
    printf("%3zu  %-16s", k, (function + "#" + std::to_string(nth)).c_str());
    for (const Fault& f : kFaults) {
      // A close that claims success but leaves the connection open cannot
      // be told from a real one.
      if (f.status == 0 && function == "ismExit") {
        printf(" | %-28s", "n/a");
        continue;
      }
      std::string label = function + "#" + std::to_string(nth) + " " + f.title;
      Prepare(&f, function, nth);
      TransferFiles({big});
      printf(" | %-28s", Check(label).c_str());
    }
    printf("\n");
  }
}
