#include "platform/linux/x11/CaptureExtensions.h"

#include <xcb/composite.h>
#include <xcb/damage.h>
#include <xcb/render.h>

namespace quayline::x11 {

CaptureExtensions negotiateCaptureExtensions(XConnection& connection, Deadline deadline) {
  xcb_connection_t* c = connection.raw();
  for (xcb_extension_t* extension : {&xcb_composite_id, &xcb_damage_id, &xcb_render_id}) {
    xcb_prefetch_extension_data(c, extension);
  }
  for (xcb_extension_t* extension : {&xcb_composite_id, &xcb_damage_id, &xcb_render_id}) {
    const xcb_query_extension_reply_t* data = xcb_get_extension_data(c, extension);
    if (data == nullptr || data->present == 0) {
      return {};
    }
  }
  const auto composite = xcb_composite_query_version(c, 0, 4);
  const auto damage = xcb_damage_query_version(c, 1, 1);
  const auto render = xcb_render_query_version(c, 0, 11);
  const auto compositeVersion =
      connection.take<xcb_composite_query_version_reply_t>(composite.sequence, deadline);
  const auto damageVersion =
      connection.take<xcb_damage_query_version_reply_t>(damage.sequence, deadline);
  const auto renderVersion =
      connection.take<xcb_render_query_version_reply_t>(render.sequence, deadline);
  CaptureExtensions result;
  result.usable = compositeVersion &&
                  (compositeVersion->major_version > 0 || compositeVersion->minor_version >= 2) &&
                  damageVersion && damageVersion->major_version >= 1 && renderVersion &&
                  (renderVersion->major_version > 0 || renderVersion->minor_version >= 10);
  result.damageEvent = xcb_get_extension_data(c, &xcb_damage_id)->first_event;
  return result;
}

}  // namespace quayline::x11
