// Running a program through the launcher: the generated image's layout, the
// patched name field, the section walk (also on malformed images) and the
// order of the device calls with every failure.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "device/launcher.h"
#include "device/launcher_image.h"
#include "stand-ins/pieceif/simulator.h"
#include "tests/support/sim_fixture.h"

namespace {

const char kInternalError[] = "内部エラーが発生しました。";

std::vector<uint8_t> GeneratedImage() {
  std::ifstream in(QUILLET_LAUNCHER_IMAGE, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutBe32(std::vector<uint8_t>& image, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// A hand-made image: header, one 44-byte header per section chained in
// order, then the data of each section that has some.
struct TestSection {
  uint32_t address;
  std::string data;       // appended to the image when not empty
  uint32_t size;          // declared size
  bool hasOffset;         // declares the data offset (0 otherwise)
};

std::vector<uint8_t> MakeImage(const std::vector<TestSection>& sections) {
  size_t dataStart = 16 + 44 * sections.size();
  std::vector<uint8_t> image(dataStart, 0xEE);
  PutBe32(image, 8, sections.empty() ? 0 : 16);
  size_t dataOffset = dataStart;
  for (size_t i = 0; i < sections.size(); ++i) {
    size_t h = 16 + 44 * i;
    PutBe32(image, h, i + 1 < sections.size() ? static_cast<uint32_t>(h + 44) : 0);
    PutBe32(image, h + 10, sections[i].address);
    PutBe32(image, h + 34, sections[i].hasOffset ? static_cast<uint32_t>(dataOffset) : 0);
    PutBe32(image, h + 38, sections[i].size);
    image.insert(image.end(), sections[i].data.begin(), sections[i].data.end());
    dataOffset += sections[i].data.size();
  }
  return image;
}

const std::string kField(reinterpret_cast<const char*>(kLauncherNameField), 32);
const std::string kMagic(piecesim::kLauncherMagic, 16);

class LauncherTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    platform.resources["SRF/129"] = GeneratedImage();
  }
  std::string NameField() { return piecesim::ReadMemory(0, piecesim::kLauncherNameAddress, 32); }
};

TEST_F(LauncherTest, GeneratedImageHasTheLoadedLayout) {
  std::vector<uint8_t> image = GeneratedImage();
  ASSERT_EQ(1000u, image.size());
  EXPECT_EQ(968, FindLauncherNameField(image));
  EXPECT_EQ(kMagic, std::string(image.begin() + 368, image.begin() + 384));
  std::vector<LauncherSection> sections;
  ASSERT_TRUE(LauncherSections(image, &sections));
  ASSERT_EQ(3u, sections.size());
  EXPECT_EQ(0x100000u, sections[0].address);
  EXPECT_EQ(368u, sections[0].offset);
  EXPECT_EQ(176u, sections[0].size);
  EXPECT_EQ(0x1000B0u, sections[1].address);
  EXPECT_EQ(544u, sections[1].offset);
  EXPECT_EQ(424u, sections[1].size);
  EXPECT_EQ(0x100258u, sections[2].address);
  EXPECT_EQ(968u, sections[2].offset);
  EXPECT_EQ(32u, sections[2].size);

  // Eight headers from 16, each linked to the next, and one 11264-byte
  // section that declares no data.
  size_t header = 16, count = 0, withoutData = 0;
  while (header != 0) {
    ASSERT_EQ(16 + 44 * count, header);
    uint32_t offset = image[header + 34] << 24 | image[header + 35] << 16 | image[header + 36] << 8 | image[header + 37];
    uint32_t size = image[header + 38] << 24 | image[header + 39] << 16 | image[header + 40] << 8 | image[header + 41];
    if (offset == 0 && size == 11264) ++withoutData;
    header = image[header] << 24 | image[header + 1] << 16 | image[header + 2] << 8 | image[header + 3];
    ++count;
  }
  EXPECT_EQ(8u, count);
  EXPECT_EQ(1u, withoutData);
}

TEST_F(LauncherTest, RunsTheNamedProgram) {
  RunProgram("game.pex");
  EXPECT_EQ((std::vector<std::string>{
                "ismExit() = 0", "ismInitEx(0, 0) = 0", "ismAppStop() = 0",
                "ismWriteMem(0x00100000, 176) = 0", "ismWriteMem(0x001000b0, 424) = 0",
                "ismWriteMem(0x00100258, 32) = 0", "ismAppStart() = 0", "ismExit() = 0"}),
            Calls());
  EXPECT_TRUE(platform.shown.empty());
  EXPECT_EQ("game.pex", piecesim::GetState(0, "lastrun"));
  EXPECT_EQ(std::string("game.pex") + std::string(24, '\0'), NameField());
  EXPECT_EQ(kMagic, piecesim::ReadMemory(0, 0x100000, 16));
  EXPECT_EQ(1, platform.waitBegins);
  EXPECT_EQ(0, platform.waitDepth);
}

TEST_F(LauncherTest, NameFieldLimits) {
  const std::string longest(31, 'n');
  RunProgram(longest);
  EXPECT_EQ(longest + std::string(1, '\0'), NameField());
  EXPECT_EQ(longest, piecesim::GetState(0, "lastrun"));

  // Each run patches a fresh copy: nothing of the longer name is left over.
  RunProgram("a.pex");
  EXPECT_EQ(std::string("a.pex") + std::string(27, '\0'), NameField());
  EXPECT_EQ(platform.resources["SRF/129"], GeneratedImage());

  piecesim::ClearCallLog();
  RunProgram(std::string(32, 'n'));
  EXPECT_EQ((std::vector<std::string>{kInternalError}), platform.ShownTexts());
  EXPECT_TRUE(Calls().empty());
}

TEST_F(LauncherTest, ResourceProblemsNeverReachTheDevice) {
  std::vector<std::vector<uint8_t>> images = {
      {},                                                      // empty resource
      std::vector<uint8_t>(kField.begin(), kField.end() - 1),  // shorter than the field
      MakeImage({{0x100000, "no field here, only code bytes...", 33, true}}),
  };
  for (const auto& image : images) {
    platform.resources["SRF/129"] = image;
    RunProgram("game.pex");
  }
  platform.resources.clear();
  RunProgram("game.pex");
  EXPECT_EQ(std::vector<std::string>(4, kInternalError), platform.ShownTexts());
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(0, platform.waitBegins);
}

TEST_F(LauncherTest, SectionsWithoutDataAreNotWritten) {
  // Offset without size, size without offset, and nothing at all.
  platform.resources["SRF/129"] = MakeImage({{0x100000, kMagic, 0, true},
                                             {0x100010, "", 64, false},
                                             {0, "", 0, false},
                                             {0x100258, kField, 32, true}});
  RunProgram("x.pex");
  EXPECT_EQ((std::vector<std::string>{"ismAppStop() = 0", "ismWriteMem(0x00100258, 32) = 0",
                                      "ismAppStart() = 0"}),
            Calls({"ismAppStop", "ismWriteMem", "ismAppStart"}));

  // No chain at all: stop and start, nothing written. The field may lie
  // outside every section; it is still found and patched.
  piecesim::ClearCallLog();
  std::vector<uint8_t> bare = MakeImage({});
  bare.insert(bare.end(), kField.begin(), kField.end());
  platform.resources["SRF/129"] = bare;
  RunProgram("x.pex");
  EXPECT_EQ((std::vector<std::string>{"ismAppStop() = 0", "ismAppStart() = 0"}),
            Calls({"ismAppStop", "ismWriteMem", "ismAppStart"}));
  EXPECT_TRUE(platform.shown.empty());
}

TEST_F(LauncherTest, MalformedImagesAreRefusedBeforeTheDevice) {
  std::vector<uint8_t> good = MakeImage({{0x100000, kMagic, 16, true}, {0x100258, kField, 32, true}});
  std::vector<std::vector<uint8_t>> bad;

  std::vector<uint8_t> loop = good;          // second header links back to the first
  PutBe32(loop, 16 + 44, 16);
  bad.push_back(loop);
  std::vector<uint8_t> selfLoop = good;      // a header that links to itself
  PutBe32(selfLoop, 16, 16);
  bad.push_back(selfLoop);
  std::vector<uint8_t> headerOutside = good; // first header beyond the end
  PutBe32(headerOutside, 8, static_cast<uint32_t>(good.size() - 43));
  bad.push_back(headerOutside);
  std::vector<uint8_t> linkOutside = good;
  PutBe32(linkOutside, 16 + 44, 0xFFFFFFF0u);
  bad.push_back(linkOutside);
  std::vector<uint8_t> dataOutside = good;   // size runs one byte past the end
  PutBe32(dataOutside, 16 + 44 + 38, 33);
  bad.push_back(dataOutside);
  std::vector<uint8_t> wrapping = good;      // offset + size overflows 32 bits
  PutBe32(wrapping, 16 + 34, 0xFFFFFFF0u);
  PutBe32(wrapping, 16 + 38, 0x20);
  bad.push_back(wrapping);

  std::vector<LauncherSection> sections;
  ASSERT_TRUE(LauncherSections(good, &sections));
  for (size_t i = 0; i < bad.size(); ++i) {
    EXPECT_FALSE(LauncherSections(bad[i], &sections)) << "image " << i;
    platform.resources["SRF/129"] = bad[i];
    RunProgram("game.pex");
  }
  EXPECT_EQ(std::vector<std::string>(bad.size(), kInternalError), platform.ShownTexts());
  EXPECT_TRUE(Calls().empty());
}

TEST_F(LauncherTest, DeviceFailures) {
  struct Case {
    const char* function;
    int nth;
    std::string message;
    std::vector<std::string> calls;
  };
  const std::vector<Case> cases = {
      {"ismInitEx", 0, "P/ECEに接続できません。", {"ismExit", "ismInitEx"}},
      {"ismAppStop", 0, "実行制御エラーです。", {"ismExit", "ismInitEx", "ismAppStop", "ismExit"}},
      {"ismWriteMem", 2, "メモリへの書き込みに失敗しました。",
       {"ismExit", "ismInitEx", "ismAppStop", "ismWriteMem", "ismWriteMem", "ismExit"}},
      {"ismAppStart", 0, "実行制御エラーです。",
       {"ismExit", "ismInitEx", "ismAppStop", "ismWriteMem", "ismWriteMem", "ismWriteMem",
        "ismAppStart", "ismExit"}},
  };
  for (const Case& c : cases) {
    piecesim::ClearFaults();
    piecesim::ClearCallLog();
    platform.shown.clear();
    piecesim::InjectFault(c.function, c.nth, 9);
    RunProgram("game.pex");
    EXPECT_EQ(c.calls, CallNames()) << c.function;
    EXPECT_EQ((std::vector<std::string>{c.message}), platform.ShownTexts()) << c.function;
    EXPECT_EQ(kErrorStyle, platform.shown.empty() ? 0u : platform.shown[0].style);
    EXPECT_EQ(0, platform.waitDepth);
    EXPECT_EQ(0, piecesim::OpenConnections());
  }
}

}  // namespace
