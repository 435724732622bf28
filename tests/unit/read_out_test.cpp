// Reading files out by drag: the copies in a folder of the drag's own, what
// is refused before the drag starts, the read at the drop, and the removal.
// Failures at the drop are the fault sweep's.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "readout/read_out.h"
#include "tests/support/fakes.h"

namespace {

// The read at the drop, as the drag runs it.
bool ReadAtDrop(ReadOut& readOut) {
  bool read = false;
  TheOperations().Start(kinds::kDragRead, [&] { read = readOut.ReadAtDrop(); });
  return read;
}

class ReadOutTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    platform.tempFolder = temp.path() + "/";
    for (const char* name : {"a.pex", "sub\\game.pex", "ソフト.pex"}) piecesim::PutFile(0, name, std::string("<") + name + ">");
  }
  TempDir temp;
};

TEST_F(ReadOutTest, ReadsAtTheDropIntoAFolderOfItsOwnAndRemovesIt) {
  temp.Write("a.pex", "the user's own");
  ASSERT_TRUE(platform.CreateFolder(temp.File("QL00000001")));   // where the first try would go
  std::string folder;
  Strings refused;
  {
    ReadOut readOut;
    ASSERT_TRUE(readOut.Prepare({{7, "a.pex"}, {16, "sub\\game.pex"}, {12, "ソフト.pex"}}, &refused));
    folder = readOut.folder();
    EXPECT_EQ(temp.File("QL00000002/"), folder);
    const std::string soft = folder + u8"\u30bd\u30d5\u30c8.pex";   // the copy's name is host text
    EXPECT_EQ((Strings{folder + "a.pex", folder + "game.pex", soft}), readOut.tempPaths());
    EXPECT_TRUE(Calls().empty()) << "nothing is read before the drop";
    ASSERT_TRUE(ReadAtDrop(readOut));
    EXPECT_EQ(readOut.tempPaths(), readOut.readPaths());
    EXPECT_EQ((Strings{"読み出し中 1/3 a.pex 0/35", "読み出し中 2/3 sub\\game.pex 7/35", "読み出し中 3/3 ソフト.pex 23/35"}),
              platform.progress);
    EXPECT_EQ((Strings{"ismExit() = 0", "ismInitEx(0, 0) = 0", "ismPFFSRead(a.pex, " + folder + "a.pex) = 0",
                       "ismPFFSRead(sub\\game.pex, " + folder + "game.pex) = 0",
                       "ismPFFSRead(ソフト.pex, " + soft + ") = 0", "ismExit() = 0"}),
              Calls());
    // Where the system's code page cannot say a path, the library reads into
    // a stage, which then takes the copy's name.
    platform.ansiCodePage = "CP1252";
    piecesim::ClearCallLog();
    ASSERT_TRUE(ReadAtDrop(readOut));
    const std::string staged = Calls({"ismPFFSRead"}).at(2);
    EXPECT_EQ(0u, staged.rfind("ismPFFSRead(ソフト.pex, " + temp.File("QLS"), 0)) << staged;
    EXPECT_EQ("<ソフト.pex>", Read(soft));
    EXPECT_EQ("<sub\\game.pex>", Read(folder + "game.pex"));
    platform.moveFails = true;   // a stage that cannot take the copy's name fails the read, and goes
    EXPECT_FALSE(ReadAtDrop(readOut));
  }
  {
    ReadOut readOut;   // a read that fails may leave part of its copy, which goes too
    ASSERT_TRUE(readOut.Prepare({{7, "a.pex"}}, &refused));
    piecesim::InjectFault("ismPFFSRead", 0, 9);
    temp.Write(readOut.tempPaths()[0].substr(temp.path().size() + 1), "part");
    EXPECT_FALSE(ReadAtDrop(readOut));
  }
  Strings left = temp.Entries();
  std::sort(left.begin(), left.end());
  EXPECT_EQ((Strings{"QL00000001", "a.pex"}), left);
  EXPECT_EQ("the user's own", temp.Read("a.pex"));
  // An end that cannot wait for a call removes every private file but the
  // one the call uses.
  piecesim::ClearFaults();
  platform.moveFails = false;
  ReadOut readOut;
  ASSERT_TRUE(readOut.Prepare({{7, "a.pex"}, {4, "ソフト.pex"}}, &refused) && ReadAtDrop(readOut));
  PrivateFile file(temp.path() + "/");
  RemovePrivateFiles(readOut.tempPaths()[1]);
  left = temp.Entries();
  std::sort(left.begin(), left.end());
  EXPECT_EQ((Strings{"QL00000001", readOut.folder().substr(temp.path().size() + 1, 10), "a.pex"}), left);
  EXPECT_EQ("<ソフト.pex>", Read(readOut.tempPaths()[1]));
  EXPECT_EQ("<missing>", Read(readOut.tempPaths()[0]));
}

// Ctrl+C's read hands over what it read, and nothing after a stop.
TEST_F(ReadOutTest, ReadAllHandsOverNothingAfterAStop) {
  for (size_t stopAfter : {SIZE_MAX, size_t{1}}) {
    ReadOut readOut;
    Strings refused, read;
    ASSERT_TRUE(readOut.Prepare({{7, "a.pex"}, {12, "ソフト.pex"}}, &refused));
    platform.stopAfter = stopAfter;
    TheOperations().Start(kinds::kRead, [&] { read = readOut.ReadAll(); });
    EXPECT_EQ(stopAfter == 1 ? Strings{} : readOut.tempPaths(), read);
  }
}

// What Prepare leaves out (for the caller to tell) and what keeps the drag
// from starting.
TEST_F(ReadOutTest, RefusedBeforeTheDrag) {
  std::string deep = temp.path();   // 24 characters; the drag's folder name adds 11
  for (int i = 0; i < 4; ++i) mkdir((deep += "/" + std::string(49, 'd')).c_str(), 0700);
  const std::string fits(259 - deep.size() - 1 - 11, 'f');
  const struct { const char* temp; Strings names; bool prepared; const char* error; Strings refused; } rows[] = {
      {"", {"a.pex"}, false, text::kNoTempFolder, {}},
      {nullptr, {"sub\\a.pex", "A.pex", "nul.sav"}, true, nullptr, {"A.pex", "nul.sav"}},   // copies of one name
      {nullptr, {"nul"}, false, nullptr, {"nul"}},                                         // nothing left: no drag
      {"deep", {fits + "g"}, false, text::kNoTempFolder, {}},                               // 260 characters
      {"deep", {fits}, true, nullptr, {}},
  };
  for (const auto& r : rows) {
    platform.shown.clear();
    platform.tempFolder = !r.temp ? temp.path() + "/" : *r.temp ? deep + "/" : "";
    ReadOut readOut;
    Strings refused;
    EXPECT_EQ(r.prepared, readOut.Prepare(Entries(r.names), &refused)) << r.names.back();
    EXPECT_EQ(r.refused, refused) << r.names.back();
    EXPECT_EQ(r.error ? Strings{r.error} : Strings{}, platform.Texts()) << r.names.back();
    if (r.temp && *r.temp && r.prepared) EXPECT_EQ(259u, readOut.tempPaths()[0].size());
    if (!r.prepared) EXPECT_EQ(1u, temp.Entries().size()) << "nothing is left in the temporary folder";
  }
}

}  // namespace
