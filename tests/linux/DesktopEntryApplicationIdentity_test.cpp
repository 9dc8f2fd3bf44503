#include "platform/linux/DesktopEntryApplicationIdentity.h"

#include <fstream>

#include "fakes/TemporaryHome.h"

namespace quayline {
namespace {

using DesktopEntryApplicationIdentityTest = TemporaryHome;

TEST_F(DesktopEntryApplicationIdentityTest, OnlyReadableDesktopEntriesHaveAnIdentifier) {
  const auto applications = root / "data/applications";
  std::filesystem::create_directories(applications / "example");
  std::filesystem::create_directories(root / "home/Notes.desktop");  // a folder
  for (const auto& file : {applications / "example/Chat.desktop", root / "home/Loose.desktop",
                           root / "home/notes.txt"}) {
    std::ofstream(file) << "[Desktop Entry]\nType=Application\nName=X\nExec=x\n";
  }
  DesktopEntryApplicationIdentity identity;
  auto identifier = [&](const std::filesystem::path& path) {
    return identity.bundleIdentifier(Url::fileURL(path.string()));
  };
  EXPECT_EQ(identifier(applications / "example/Chat.desktop"), "example-Chat");
  EXPECT_EQ(identifier(root / "home/Loose.desktop"), "Loose");
  EXPECT_EQ(identifier(root / "home/Notes.desktop"), std::nullopt);
  EXPECT_EQ(identifier(root / "home/notes.txt"), std::nullopt);
  EXPECT_EQ(identifier(applications / "Gone.desktop"), std::nullopt);
  EXPECT_EQ(identity.bundleIdentifier(*Url::parse("https://example.com/Chat.desktop")),
            std::nullopt);
}

}  // namespace
}  // namespace quayline
