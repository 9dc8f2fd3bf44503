#include "previews/PreviewLayout.h"

#include <gtest/gtest.h>

#include "previews/PreviewCaption.h"

namespace quayline {
namespace {

TEST(PreviewLayout, ColumnsAndPanelSizes) {
  struct Row {
    int count;
    double visibleWidth;
    int columns;
    Size panel;
  };
  const Row rows[] = {
      {10, 1000, 4, {908, 567}},  // 3 rows of 4, 4 and 2
      {1, 1000, 1, {236, 197}},   // one window: always one column
      {0, 1000, 1, {236, 197}},   {3, 1440, 3, {684, 197}},
      {20, 3000, 6, {1356, 752}},  // six columns at most
      {5, 100, 1, {236, 937}},     // a screen too narrow for one card still gets one column
  };
  for (const Row& row : rows) {
    const PreviewLayout layout = PreviewLayout::fitting(row.count, row.visibleWidth);
    EXPECT_EQ(layout.columns, row.columns) << row.count << " on " << row.visibleWidth;
    EXPECT_EQ(layout.panelSize(row.count), row.panel) << row.count << " on " << row.visibleWidth;
  }
  // 20 windows on a 1000-point screen: the first 12 are shown.
  EXPECT_EQ(PreviewLayout::fitting(20, 1000).capacity(), 12);
}

TEST(PreviewCaption, TheFolderLeadsAndTheApplicationFillsIn) {
  struct Row {
    const char* title;
    PreviewCaption expected;
  };
  const Row rows[] = {
      {"Report.txt \u2014 Documents", {"Documents", "Report.txt"}},
      {"a \u2014 b \u2014 c", {"c", "a \u2014 b"}},
      {"Plain title", {"Plain title", "Editor"}},
      {" \u2014 Documents", {"Documents", "Editor"}},
      {"Report.txt \u2014 \t", {"Report.txt \u2014 \t", "Editor"}},
      {"Editor", {"Editor", "Editor"}},  // an empty title is replaced by the name beforehand
      {"a - b", {"a - b", "Editor"}},    // only the em dash separates
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PreviewCaption::parts(row.title, "Editor"), row.expected) << row.title;
  }
}

}  // namespace
}  // namespace quayline
