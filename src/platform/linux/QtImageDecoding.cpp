#include "platform/linux/QtImageDecoding.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <limits>

namespace quayline {

std::optional<ArgbImage> QtImageDecoding::decode(std::string_view bytes) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<qsizetype>::max())) {
    return std::nullopt;
  }
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty() || size.width() > kMaximumSide ||
      size.height() > kMaximumSide) {
    return std::nullopt;
  }
  QImage image;
  if (!reader.read(&image) || image.size() != size) {
    return std::nullopt;
  }
  image = image.convertToFormat(QImage::Format_ARGB32);
  ArgbImage result;
  result.width = image.width();
  result.height = image.height();
  result.pixels.resize(static_cast<std::size_t>(result.width) *
                       static_cast<std::size_t>(result.height));
  for (int y = 0; y < result.height; ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    std::copy(line, line + result.width,
              result.pixels.begin() + static_cast<std::ptrdiff_t>(y) * result.width);
  }
  return result;
}

}  // namespace quayline
