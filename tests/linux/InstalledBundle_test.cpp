#include "platform/linux/InstalledBundle.h"

#include <fstream>

#include "fakes/TemporaryHome.h"

namespace quayline {
namespace {

using InstalledBundleTest = TemporaryHome;

TEST_F(InstalledBundleTest, ReadsTheInformationDictionaryAndFindsHelpers) {
  auto prefix = root / "prefix";
  std::filesystem::create_directories(prefix / "share/quayline");
  std::filesystem::create_directories(prefix / "libexec/quayline");
  std::ofstream(prefix / "share/quayline/Info.plist") << encodeXmlPropertyList(
      PropertyValue(PropertyValue::Dictionary{{"QuaylineHidesSystemDock", PropertyValue(true)}}));
  std::ofstream(prefix / "libexec/quayline/Keelguard") << "#!/bin/sh\n";
  std::filesystem::permissions(prefix / "libexec/quayline/Keelguard",
                               std::filesystem::perms::owner_all);
  std::ofstream(prefix / "libexec/quayline/NotExecutable") << "data";
  std::filesystem::permissions(prefix / "libexec/quayline/NotExecutable",
                               std::filesystem::perms::owner_read);

  InstalledBundle bundle(prefix);

  EXPECT_EQ(bundle.infoValue("QuaylineHidesSystemDock"), PropertyValue(true));
  EXPECT_EQ(bundle.infoValue("Missing"), std::nullopt);
  EXPECT_EQ(bundle.auxiliaryExecutable("Keelguard"),
            (prefix / "libexec/quayline/Keelguard").string());
  EXPECT_EQ(bundle.auxiliaryExecutable("Absent"), std::nullopt);
  EXPECT_EQ(bundle.auxiliaryExecutable("NotExecutable"), std::nullopt);
  EXPECT_EQ(bundle.auxiliaryExecutable("../quayline/Keelguard"), std::nullopt);
}

TEST_F(InstalledBundleTest, AMissingOrCorruptDictionaryHasNoValues) {
  InstalledBundle missing(root / "nothing-here");
  EXPECT_EQ(missing.infoValue("QuaylineHidesSystemDock"), std::nullopt);

  std::filesystem::create_directories(root / "corrupt/share/quayline");
  std::ofstream(root / "corrupt/share/quayline/Info.plist") << "<plist><dict><key>Quayline";
  InstalledBundle corrupt(root / "corrupt");
  EXPECT_EQ(corrupt.infoValue("QuaylineHidesSystemDock"), std::nullopt);
}

}  // namespace
}  // namespace quayline
