#include "platform/linux/QtImageDecoding.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

namespace quayline {
namespace {

std::string png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

TEST(QtImageDecoding, DecodesUnpremultipliedArgbAndRefusesOversizedPicturesUnread) {
  QtImageDecoding decoder;
  QImage picture(3, 2, QImage::Format_ARGB32);
  picture.fill(QColor::fromRgba(0x801A73E8));
  picture.setPixel(2, 1, 0xFF00FF00);
  const auto decoded = decoder.decode(png(picture));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width, 3);
  EXPECT_EQ(decoded->height, 2);
  EXPECT_EQ(decoded->pixels[0], 0x801A73E8u);
  EXPECT_EQ(decoded->pixels[5], 0xFF00FF00u);

  // A header claiming 1025 pixels wide with no pixel data after it: refused from the size alone.
  std::string huge = png(QImage(1025, 1, QImage::Format_ARGB32));
  EXPECT_FALSE(decoder.decode(huge));
  EXPECT_TRUE(decoder.decode(png(QImage(1024, 1024, QImage::Format_ARGB32))));
  EXPECT_FALSE(decoder.decode("\x89PNG\r\n\x1a\n garbage"));
  EXPECT_FALSE(decoder.decode(""));
}

}  // namespace
}  // namespace quayline
