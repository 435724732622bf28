// The application manifest embedded in Quillet.exe: an execution level in it
// would switch off the file virtualisation that keeps Quillet.INI writable
// in the Windows folder for users without administrator rights.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string SourceFile(const std::string& relative) {
  std::string here = __FILE__;   // .../tests/unit/manifest_test.cpp
  std::string root = here.substr(0, here.rfind("/tests/unit/"));
  std::ifstream in(root + "/" + relative, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The manifest without its comments, which may name what it leaves out.
std::string ManifestMarkup() {
  std::string text = SourceFile("resources/quillet.manifest");
  for (size_t open; (open = text.find("<!--")) != std::string::npos;) {
    size_t close = text.find("-->", open);
    text.erase(open, close == std::string::npos ? std::string::npos : close + 3 - open);
  }
  return text;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ManifestTest, DeclaresNoExecutionLevel) {
  std::string markup = ManifestMarkup();
  ASSERT_NE(markup.find("<assembly"), std::string::npos) << "manifest not found";
  EXPECT_EQ(markup.find("<trustInfo"), std::string::npos);
  EXPECT_EQ(markup.find("requestedExecutionLevel"), std::string::npos);
  EXPECT_EQ(markup.find("requestedPrivileges"), std::string::npos);
}

TEST(ManifestTest, AsksForCommonControls6OnVistaTo11) {
  std::string markup = ManifestMarkup();
  EXPECT_NE(markup.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
  for (const char* id : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                         "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                         "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
    EXPECT_EQ(Count(markup, std::string("<supportedOS Id=\"{") + id + "}\"/>"), 1u) << id;
}

}  // namespace
