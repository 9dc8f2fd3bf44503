#include "ui/shell/QtApplicationAppearance.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QStyle>

#include "DockViewFixture.h"

namespace quayline {
namespace {

TEST(QtApplicationAppearanceTest, MenusAndWindowsFollowTheChosenAppearance) {
  testing::application();
  QtApplicationAppearance appearance;

  appearance.set(ApplicationAppearance::Name::dark);
  EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 80);
  EXPECT_GT(QApplication::palette().color(QPalette::WindowText).lightness(), 200);

  appearance.set(ApplicationAppearance::Name::light);
  EXPECT_GT(QApplication::palette().color(QPalette::Window).lightness(), 200);

  appearance.set(std::nullopt);
  EXPECT_EQ(QApplication::palette().color(QPalette::Window),
            QApplication::style()->standardPalette().color(QPalette::Window));
}

}  // namespace
}  // namespace quayline
