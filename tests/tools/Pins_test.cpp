// quayline-pins run as a script would, on a temporary home with its own applications.
#include <gtest/gtest.h>

#include <sstream>

#include "ToolProcess.h"

namespace quayline {
namespace {

using namespace tools;

const std::string kTool = QUAYLINE_STAGE_DIR "/bin/quayline-pins";

void writeEntry(const fs::path& path, const std::string& name) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=true\n";
}

class PinsToolTest : public ToolTest {
 protected:
  PinsToolTest() {
    fs::create_directories(home_ / "Downloads");
    fs::create_directories(home_ / "Projects");
    std::ofstream(home_ / "notes.txt") << "a file";
    for (const char* name : {"Editor", "Viewer", "Mail"}) {
      writeEntry(
          root_ / "system" / "applications" / ("org.example." + std::string(name) + ".desktop"),
          name);
    }
    writeEntry(home_ / "Downloads" / "stray.desktop", "Stray");
  }

  ToolResult run(std::vector<std::string> arguments) const {
    return runTool(kTool, arguments,
                   {"QUAYLINE_PREFERENCES_DIR=" + preferences_.string(), "HOME=" + home_.string(),
                    "XDG_CONFIG_HOME=" + (root_ / "config").string(),
                    "XDG_DATA_HOME=" + (root_ / "data").string(),
                    "XDG_DATA_DIRS=" + (root_ / "system").string(), "PATH=/usr/bin:/bin"});
  }

  // The ids `list` prints, in order.
  std::vector<std::string> ids() const {
    const ToolResult result = run({"list"});
    EXPECT_EQ(result.status, 0) << result.err;
    std::vector<std::string> found;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
      const auto first = line.find('\t');
      const auto second = line.find('\t', first + 1);
      found.push_back(line.substr(first + 1, second - first - 1));
    }
    return found;
  }

  std::string app(const std::string& name) const {
    return (root_ / "system" / "applications" / ("org.example." + name + ".desktop")).string();
  }

  const fs::path home_ = root_ / "home";
};

TEST_F(PinsToolTest, EditsTheListsTheWayDropsWouldAndTheDockReadsThem) {
  const std::string downloads = "trailing:folder:" + (home_ / "Downloads").string();
  const std::string projects = "trailing:folder:" + (home_ / "Projects").string();
  // A fresh user's lists are shown as the dock would seed them, without writing anything.
  EXPECT_EQ(ids(), std::vector<std::string>{downloads});
  EXPECT_FALSE(fs::exists(preferences_));

  struct Row {
    std::vector<std::string> arguments;
    std::vector<std::string> expected;
  };
  const std::vector<Row> rows{
      {{"add", "org.example.Editor"}, {"pinned:app:org.example.Editor", downloads}},
      {{"add", "org.example.Viewer.desktop", "--index", "0"},
       {"pinned:app:org.example.Viewer", "pinned:app:org.example.Editor", downloads}},
      {{"add", app("Mail"), "--after", "org.example.Viewer"},
       {"pinned:app:org.example.Viewer", "pinned:app:org.example.Mail",
        "pinned:app:org.example.Editor", downloads}},
      {{"add-spacer", "--small", "--before", "pinned:app:org.example.Editor"},
       {"pinned:app:org.example.Viewer", "pinned:app:org.example.Mail", "pinned:spacer:1",
        "pinned:app:org.example.Editor", downloads}},
      // A folder goes after the trailing divider, as a dropped one would.
      {{"add", (home_ / "Projects/").string()},
       {"pinned:app:org.example.Viewer", "pinned:app:org.example.Mail", "pinned:spacer:1",
        "pinned:app:org.example.Editor", downloads, projects}},
      {{"move", "org.example.Editor", "--index", "0"},
       {"pinned:app:org.example.Editor", "pinned:app:org.example.Viewer",
        "pinned:app:org.example.Mail", "pinned:spacer:1", downloads, projects}},
      {{"move", "pinned:spacer:1", "--after", "org.example.Viewer"},
       {"pinned:app:org.example.Editor", "pinned:app:org.example.Viewer", "pinned:spacer:1",
        "pinned:app:org.example.Mail", downloads, projects}},
      {{"move", "org.example.Editor", "--after", app("Mail")},
       {"pinned:app:org.example.Viewer", "pinned:spacer:1", "pinned:app:org.example.Mail",
        "pinned:app:org.example.Editor", downloads, projects}},
      {{"remove", (home_ / "Downloads").string()},
       {"pinned:app:org.example.Viewer", "pinned:spacer:1", "pinned:app:org.example.Mail",
        "pinned:app:org.example.Editor", projects}},
      {{"remove", "pinned:app:org.example.Mail"},
       {"pinned:app:org.example.Viewer", "pinned:spacer:1", "pinned:app:org.example.Editor",
        projects}},
  };
  for (const Row& row : rows) {
    const ToolResult result = run(row.arguments);
    EXPECT_EQ(result.status, 0) << row.arguments[0] << ' ' << row.arguments[1] << ": "
                                << result.err;
    EXPECT_EQ(ids(), row.expected) << row.arguments[0] << ' ' << row.arguments[1];
  }
  // Stored as the dock stores it: JSON data under the dock's key, the application with the
  // path of its desktop entry.
  const std::string stored = fileText(preferences_ / "com.orrin.quayline.plist");
  EXPECT_NE(stored.find("quayline.pinnedItems"), std::string::npos) << stored;
}

TEST_F(PinsToolTest, EveryErrorSaysWhyAndWritesNothing) {
  ASSERT_EQ(run({"add", "org.example.Editor"}).status, 0);
  ASSERT_EQ(run({"add", "org.example.Viewer"}).status, 0);
  struct Row {
    std::vector<std::string> arguments;
    std::string message;
  };
  const std::vector<Row> rows{
      {{}, "no command given"},
      {{"frobnicate"}, "unknown command"},
      {{"add"}, "add needs a target"},
      {{"move", "org.example.Editor"}, "move needs --after, --before or --index"},
      {{"add", "org.example.Mail", "--index", "-1"}, "position counted from 0"},
      {{"add", "org.example.Mail", "--after", "org.example.Editor", "--index", "1"}, "only one of"},
      {{"add-spacer", "--wide"}, "unknown option \"--wide\""},
      {{"add", "org.example.Editor"},
       "\"org.example.Editor\" is already pinned as pinned:app:org.example.Editor"},
      {{"add", app("Editor")}, "already pinned"},
      {{"add", "org.example.Missing"}, "no installed application has the id"},
      {{"add", (home_ / "Downloads" / "stray.desktop").string()},
       "is not an installed application"},
      {{"add", (home_ / "notes.txt").string()}, "is a file"},
      {{"add", (home_ / "gone").string()}, "does not exist"},
      {{"add", (home_ / "Projects").string(), "--before", "org.example.Editor"},
       "goes into the trailing list, but \"org.example.Editor\" is in the pinned list"},
      {{"add", "org.example.Mail", "--index", "3"}, "past the end of the pinned list"},
      {{"add", "org.example.Mail", "--after", "org.example.Mail"}, "nothing pinned is"},
      {{"move", "org.example.Editor", "--index", "2"}, "whose last position is 1"},
      {{"move", "org.example.Editor", "--after", "org.example.Editor"}, "next to itself"},
      {{"move", "org.example.Editor", "--before", (home_ / "Downloads").string()},
       "move only within their own list"},
      {{"remove", "org.example.Mail"}, "nothing pinned is"},
  };
  const auto before = snapshot(root_);
  for (const Row& row : rows) {
    const ToolResult result = run(row.arguments);
    const std::string shown = row.arguments.empty() ? "(none)" : row.arguments[0];
    EXPECT_EQ(result.status, 1) << shown;
    EXPECT_NE(result.err.find(row.message), std::string::npos) << shown << ": " << result.err;
    EXPECT_EQ(snapshot(root_), before) << shown;
  }

  // A settings file that cannot be read is left for the user to repair, never replaced.
  const fs::path settings = preferences_ / "com.orrin.quayline.plist";
  std::ofstream(settings, std::ios::trunc) << "<plist><dict><key>quay";
  const ToolResult damaged = run({"add", "org.example.Mail"});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_NE(damaged.err.find("not a readable property list"), std::string::npos) << damaged.err;
  EXPECT_EQ(fileText(settings), "<plist><dict><key>quay");
  EXPECT_FALSE(fs::exists(preferences_ / "com.orrin.quayline.plist.corrupt"));
}

}  // namespace
}  // namespace quayline
