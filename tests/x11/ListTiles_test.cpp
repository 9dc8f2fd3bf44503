// `quayline --list-tiles` against a real desktop: the dock's order, from the stored lists and the
// running applications.

#include <gtest/gtest.h>

#include "foundation/Json.h"
#include "model/PinnedItem.h"
#include "platform/linux/FilePreferenceDomains.h"
#include "support/Desktop.h"
#include "support/Processes.h"
#include "support/X11Environment.h"

namespace quayline::x11test {
namespace {

std::string listTiles(const char* options) {
  return commandOutput(std::string("'") + QUAYLINE_STAGE_DIR "/bin/quayline' " + options);
}

void store(FilePreferenceDomains& domains, std::string_view key,
           const std::vector<PinnedItem>& items) {
  const std::string json = encodePinnedList(items);
  domains.set(PreferenceDomains::application, key,
              PropertyValue(PropertyData(json.begin(), json.end())));
}

TEST(ListTiles, PrintsTheDockInOrder) {
  const InstalledEntry alphaEntry("org.quayline.Alpha.desktop",
                                  clientEntry("Alpha", "--class alpha,Alpha", "Alpha"));
  const InstalledEntry betaEntry("org.quayline.Beta.desktop",
                                 clientEntry("Beta", "--class beta,Beta", "Beta"));
  FilePreferenceDomains domains(FilePreferenceDomains::defaultDirectory());
  store(domains, "quayline.pinnedItems",
        {PinnedApp{"org.quayline.Beta", betaEntry.path().string()}});
  store(domains, "quayline.trailingItems", {PinnedSpacer{true}});
  domains.set(PreferenceDomains::application, "quayline.hiddenApps",
              PropertyValue(PropertyValue::Array{PropertyValue("Hidden")}));

  Desktop desktop;
  TestClient beta({"--title", "Beta", "--class", "beta,Beta"});
  ASSERT_TRUE(desktop.waitForApplication("org.quayline.Beta"));
  TestClient alpha({"--title", "Alpha", "--class", "alpha,Alpha"});
  ASSERT_TRUE(desktop.waitForApplication("org.quayline.Alpha"));
  TestClient hidden({"--title", "Hidden", "--class", "hidden,Hidden"});
  ASSERT_TRUE(desktop.waitForApplication("Hidden"));
  TestClient gamma({"--title", "Gamma", "--class", "gamma,Gamma"});
  ASSERT_TRUE(desktop.waitForApplication("Gamma"));

  const auto parsed = parseJson(listTiles("--list-tiles --json"));
  ASSERT_TRUE(parsed && parsed->is_array());
  std::vector<std::string> ids;
  for (const auto& tile : *parsed) {
    ids.push_back(tile["id"].get<std::string>());
  }
  // Finder, the pinned items, the running ones in launch order (hidden and pinned ones left
  // out), the trailing items, Trash.
  EXPECT_EQ(ids, (std::vector<std::string>{"system:finder", "pinned:app:org.quayline.Beta",
                                           "divider:running", "running:org.quayline.Alpha",
                                           "running:Gamma", "divider:trailing", "trailing:spacer:1",
                                           "trailing:trash"}));
  EXPECT_EQ((*parsed)[1]["label"], "Beta");
  EXPECT_EQ((*parsed)[1]["running"], true);
  EXPECT_EQ((*parsed)[4]["label"], "Gamma");

  const std::string text = listTiles("--list-tiles");
  EXPECT_NE(text.find("running:org.quayline.Alpha\trunning\tAlpha\t"), std::string::npos) << text;
}

}  // namespace
}  // namespace quayline::x11test
