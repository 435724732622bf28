// The directory text parse and ReadDirectory on the simulated device.
#include <gtest/gtest.h>

#include "filelist/directory.h"
#include "tests/support/sim_fixture.h"

namespace {

struct ParseCase {
  const char* what;
  std::string text;
  bool valid;
  std::vector<std::pair<int, std::string>> entries;
  std::string status;
};

TEST(DirectoryParse, Cases) {
  const ParseCase cases[] = {
      {"entries keep device order", "+1:10 a.pex\n+2:1234 startup.pex\nfree\n", true,
       {{10, "a.pex"}, {1234, "startup.pex"}}, "free"},
      {"summary trimmed", "+0:5 x\n  12 KB free \r\n", true, {{5, "x"}}, "12 KB free"},
      {"CR LF lines", "+0:5 x\r\n+1:6 y\r\nfree\r\n", true, {{5, "x"}, {6, "y"}}, "free"},
      {"empty CR LF line is the summary", "+0:5 x\r\n\r\nfree\r\n", true, {{5, "x"}}, ""},
      {"summary alone", "nothing here", true, {}, "nothing here"},
      {"runs of line feeds are one", "\n\n+0:5 x\n\n\nfree", true, {{5, "x"}}, "free"},
      {"no summary", "+0:5 x\n+1:6 y\n", false, {}, ""},
      {"empty text", "", false, {}, ""},
      {"size not a number", "+0:big x\nfree\n", false, {}, ""},
      {"no name", "+0:5\nfree\n", false, {}, ""},
      {"no name, CR only", "+0:5 \r\nfree\n", false, {}, ""},
      {"space before colon", "+0 :5 x\nfree\n", false, {}, ""},
      {"blank after plus is allowed", "+ 7:\t-3  x\nfree", true, {{-3, "x"}}, "free"},
      {"signs", "+-1:+9 x\nfree", true, {{9, "x"}}, "free"},
      {"lines after the summary ignored", "+0:1 a\nfree\n+bad\n+1:2 b\n", true, {{1, "a"}}, "free"},
      {"blank before plus is a summary", " +0:1 a\n", true, {}, "+0:1 a"},
      {"trailing words ignored", "+0:1 a b c\nfree", true, {{1, "a"}}, "free"},
      {"name of 31 bytes", "+0:1 " + std::string(31, 'n') + "\nfree", true, {{1, std::string(31, 'n')}}, "free"},
      // A cut name would make later commands act on another file.
      {"name of 32 bytes fails", "+0:1 " + std::string(32, 'n') + "\nfree", false, {}, ""},
      {"japanese name", "+0:1 ゲーム.pex\nfree", true, {{1, "ゲーム.pex"}}, "free"},
  };
  for (const ParseCase& c : cases) {
    DirListing listing;
    listing.statusText = "stale";
    listing.entries.push_back({1, "stale"});
    EXPECT_EQ(c.valid, listing.Parse(c.text.data(), c.text.size())) << c.what;
    ASSERT_EQ(c.entries.size(), listing.entries.size()) << c.what;
    for (size_t i = 0; i < c.entries.size(); ++i) {
      EXPECT_EQ(c.entries[i].first, listing.entries[i].size) << c.what;
      EXPECT_EQ(c.entries[i].second, listing.entries[i].name) << c.what;
    }
    EXPECT_EQ(c.status, listing.statusText) << c.what;
  }
}

TEST(DirectoryParse, StopsAtTheBufferEndWithoutATerminator) {
  std::string text = "+0:1 a\nfree";
  DirListing listing;
  // Only "+0:1 a\n" lies inside the buffer: no summary line there.
  EXPECT_FALSE(listing.Parse(text.data(), 7));
  EXPECT_TRUE(listing.Parse(text.data(), text.size()));
  EXPECT_EQ("free", listing.statusText);
}

TEST(DirectoryParse, StopsAtTheZeroByte) {
  std::string text("+0:1 a\nfree\0+1:2 b\n", 20);
  DirListing listing;
  EXPECT_TRUE(listing.Parse(text.data(), text.size()));
  EXPECT_EQ(1u, listing.entries.size());
}

class ReadDirectoryTest : public SimTest {};

TEST_F(ReadDirectoryTest, ReadsTheDeviceInOneConnection) {
  piecesim::PutFile(0, "b.pex", "bb");
  piecesim::PutFile(0, "a.pex", "a");
  DirListing listing;
  ASSERT_TRUE(listing.ReadDirectory());
  ASSERT_EQ(2u, listing.entries.size());
  EXPECT_EQ("b.pex", listing.entries[0].name);
  EXPECT_EQ(2, listing.entries[0].size);
  EXPECT_EQ("a.pex", listing.entries[1].name);
  EXPECT_FALSE(listing.statusText.empty());
  EXPECT_EQ((std::vector<std::string>{"ismExit", "ismInitEx", "ismPFFSDir", "ismExit"}), CallNames());
}

TEST_F(ReadDirectoryTest, FailuresLeaveItEmpty) {
  DirListing listing;
  piecesim::SetDirText(0, "+0:1 a\n");
  EXPECT_FALSE(listing.ReadDirectory());
  EXPECT_TRUE(listing.entries.empty());

  piecesim::ClearDirText(0);
  piecesim::ClearFaults();
  piecesim::InjectFault("ismPFFSDir", 1, 9);
  EXPECT_FALSE(listing.ReadDirectory());
  EXPECT_TRUE(listing.statusText.empty());
}

TEST_F(ReadDirectoryTest, NoDeviceMeansNoDirectoryCall) {
  piecesim::RemoveDevice(0);
  DirListing listing;
  EXPECT_FALSE(listing.ReadDirectory());
  EXPECT_TRUE(Calls({"ismPFFSDir"}).empty());
}

TEST_F(ReadDirectoryTest, AFullBufferWithoutTerminatorIsNotReadPast) {
  std::string text;
  while (text.size() < 8192) text += "+0:1 abcdefgh\n";
  text.resize(8192);
  piecesim::SetDirText(0, text);
  DirListing listing;
  EXPECT_FALSE(listing.ReadDirectory());
}

}  // namespace
