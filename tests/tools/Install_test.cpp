#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ToolProcess.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;
using tools::runTool;

// `cmake --install` into a fresh prefix gives a copy that finds its own files from where it is.
TEST(InstallTest, TheInstalledCopyFindsItsFilesFromItsOwnLocation) {
  const fs::path prefix =
      fs::temp_directory_path() / ("quayline-install-" + std::to_string(::getpid()));
  fs::remove_all(prefix);
  const auto install =
      runTool(QUAYLINE_CMAKE, {"--install", QUAYLINE_BUILD_DIR, "--prefix", prefix.string()},
              {"PATH=/usr/bin:/bin"});
  ASSERT_EQ(install.status, 0) << install.out << install.err;
  for (const char* file :
       {"bin/quayline", "bin/quayline-defaults", "libexec/quayline/Keelguard",
        "share/quayline/Info.plist", "share/applications/com.orrin.quayline.desktop",
        "share/icons/hicolor/scalable/apps/com.orrin.quayline.svg",
        "share/metainfo/com.orrin.quayline.metainfo.xml"}) {
    EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
  }
  std::ifstream metainfo(prefix / "share/metainfo/com.orrin.quayline.metainfo.xml");
  const std::string xml{std::istreambuf_iterator<char>(metainfo), {}};
  EXPECT_NE(xml.find("<release version=\"" QUAYLINE_VERSION "\"/>"), std::string::npos) << xml;

  const auto info = runTool((prefix / "bin/quayline").string(), {"--install-info"},
                            {"HOME=" + prefix.string(), "PATH=/usr/bin:/bin"});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(
      info.out,
      "prefix: " + prefix.string() + "\nplacement: installed\nKeelguard: " + prefix.string() +
          "/libexec/quayline/Keelguard\nidentifier: com.orrin.quayline\nversion: " QUAYLINE_VERSION
          "\n");

  // The build tree runs the same way, but is no installation.
  const auto staged = runTool(QUAYLINE_STAGE_DIR "/bin/quayline", {"--install-info"},
                              {"HOME=" + prefix.string(), "PATH=/usr/bin:/bin"});
  EXPECT_NE(staged.out.find("placement: buildTree\n"), std::string::npos) << staged.out;
  fs::remove_all(prefix);
}

}  // namespace
}  // namespace quayline
