#include "platform/linux/x11/RenderScaling.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace quayline::x11 {

namespace {

xcb_render_fixed_t fixed(double value) {
  return static_cast<xcb_render_fixed_t>(std::lround(value * 65536.0));
}

bool isArgb32(const xcb_render_pictforminfo_t& format) {
  const xcb_render_directformat_t& d = format.direct;
  return format.type == XCB_RENDER_PICT_TYPE_DIRECT && format.depth == 32 && d.alpha_shift == 24 &&
         d.alpha_mask == 0xff && d.red_shift == 16 && d.red_mask == 0xff && d.green_shift == 8 &&
         d.green_mask == 0xff && d.blue_shift == 0 && d.blue_mask == 0xff;
}

}  // namespace

PictureFormats PictureFormats::read(XConnection& connection, Deadline deadline) {
  PictureFormats result;
  const auto cookie = xcb_render_query_pict_formats(connection.raw());
  const auto reply =
      connection.take<xcb_render_query_pict_formats_reply_t>(cookie.sequence, deadline);
  if (!reply) {
    return result;
  }
  for (auto formats = xcb_render_query_pict_formats_formats_iterator(reply.get()); formats.rem > 0;
       xcb_render_pictforminfo_next(&formats)) {
    if (isArgb32(*formats.data)) {
      result.argb32_ = formats.data->id;
      break;
    }
  }
  for (auto screens = xcb_render_query_pict_formats_screens_iterator(reply.get()); screens.rem > 0;
       xcb_render_pictscreen_next(&screens)) {
    for (auto depths = xcb_render_pictscreen_depths_iterator(screens.data); depths.rem > 0;
         xcb_render_pictdepth_next(&depths)) {
      for (auto visuals = xcb_render_pictdepth_visuals_iterator(depths.data); visuals.rem > 0;
           xcb_render_pictvisual_next(&visuals)) {
        result.visuals_.emplace(visuals.data->visual, visuals.data->format);
      }
    }
  }
  return result;
}

std::optional<xcb_render_pictformat_t> PictureFormats::ofVisual(xcb_visualid_t visual) const {
  const auto found = visuals_.find(visual);
  return found == visuals_.end() ? std::nullopt : std::optional(found->second);
}

std::vector<PixelSize> scalingSteps(PixelSize from, PixelSize to) {
  std::vector<PixelSize> steps;
  PixelSize current = from;
  while (current.width > 2 * to.width || current.height > 2 * to.height) {
    if (current.width > 2 * to.width) {
      current.width = (current.width + 1) / 2;
    }
    if (current.height > 2 * to.height) {
      current.height = (current.height + 1) / 2;
    }
    steps.push_back(current);
  }
  if (steps.empty() || steps.back() != to) {
    steps.push_back(to);
  }
  return steps;
}

WindowImageRef renderScaled(XConnection& connection, xcb_render_pictformat_t argb32,
                            xcb_drawable_t source, xcb_render_pictformat_t sourceFormat,
                            PixelSize sourceSize, PixelSize size, Deadline deadline) {
  if (sourceSize.width <= 0 || sourceSize.height <= 0 || size.width <= 0 || size.height <= 0) {
    return nullptr;
  }
  xcb_connection_t* c = connection.raw();
  // Pad repeats the edge pixels, so a filter reaching past the edge does not darken it.
  const std::uint32_t repeat = XCB_RENDER_REPEAT_PAD;
  xcb_render_picture_t picture = xcb_generate_id(c);
  xcb_render_create_picture(c, picture, source, sourceFormat, XCB_RENDER_CP_REPEAT, &repeat);
  xcb_pixmap_t pixmap = XCB_PIXMAP_NONE;
  PixelSize current = sourceSize;
  static constexpr char kFilter[] = "bilinear";
  for (const PixelSize step : scalingSteps(sourceSize, size)) {
    const xcb_pixmap_t next = xcb_generate_id(c);
    xcb_create_pixmap(c, 32, next, connection.root(), static_cast<std::uint16_t>(step.width),
                      static_cast<std::uint16_t>(step.height));
    const xcb_render_picture_t target = xcb_generate_id(c);
    xcb_render_create_picture(c, target, next, argb32, XCB_RENDER_CP_REPEAT, &repeat);
    // The transform maps target pixels to source points.
    const xcb_render_transform_t transform{fixed(static_cast<double>(current.width) / step.width),
                                           0,
                                           0,
                                           0,
                                           fixed(static_cast<double>(current.height) / step.height),
                                           0,
                                           0,
                                           0,
                                           fixed(1)};
    xcb_render_set_picture_transform(c, picture, transform);
    xcb_render_set_picture_filter(c, picture, sizeof kFilter - 1, kFilter, 0, nullptr);
    xcb_render_composite(c, XCB_RENDER_PICT_OP_SRC, picture, XCB_RENDER_PICTURE_NONE, target, 0, 0,
                         0, 0, 0, 0, static_cast<std::uint16_t>(step.width),
                         static_cast<std::uint16_t>(step.height));
    xcb_render_free_picture(c, picture);
    if (pixmap != XCB_PIXMAP_NONE) {
      xcb_free_pixmap(c, pixmap);
    }
    picture = target;
    pixmap = next;
    current = step;
  }
  const auto cookie = xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, 0, 0,
                                    static_cast<std::uint16_t>(size.width),
                                    static_cast<std::uint16_t>(size.height), ~0u);
  xcb_render_free_picture(c, picture);
  xcb_free_pixmap(c, pixmap);
  const auto reply = connection.take<xcb_get_image_reply_t>(cookie.sequence, deadline);
  const auto count = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
  if (!reply || reply->depth != 32 ||
      static_cast<std::size_t>(xcb_get_image_data_length(reply.get())) != count * 4) {
    return nullptr;
  }
  auto image = std::make_shared<WindowImage>();
  image->width = size.width;
  image->height = size.height;
  image->pixels.resize(count);
  std::memcpy(image->pixels.data(), xcb_get_image_data(reply.get()), count * 4);
  const bool serverLittle = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
  if (serverLittle != (std::endian::native == std::endian::little)) {
    for (std::uint32_t& pixel : image->pixels) {
      pixel = __builtin_bswap32(pixel);
    }
  }
  return image;
}

}  // namespace quayline::x11
