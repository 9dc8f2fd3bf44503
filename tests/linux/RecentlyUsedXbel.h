#pragma once

#include <string>
#include <vector>

namespace quayline {

// Writes recently-used lists the way GLib's bookmark file does.
struct XbelBookmark {
  std::string uri;
  struct Registration {
    std::string name;
    std::string exec;
    std::string modified;  // ISO 8601, "2026-01-03T10:00:00Z"
  };
  std::vector<Registration> applications;
};

inline std::string xbelText(const std::vector<XbelBookmark>& bookmarks) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<xbel version=\"1.0\" "
      "xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\" "
      "xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (const XbelBookmark& bookmark : bookmarks) {
    text += "  <bookmark href=\"" + bookmark.uri +
            "\" added=\"2026-01-01T00:00:00Z\" modified=\"2026-01-01T00:00:00Z\" "
            "visited=\"2026-01-01T00:00:00Z\">\n    <info>\n      <metadata "
            "owner=\"http://freedesktop.org\">\n        <mime:mime-type type=\"text/plain\"/>\n"
            "        <bookmark:applications>\n";
    for (const auto& application : bookmark.applications) {
      text += "          <bookmark:application name=\"" + application.name + "\" exec=\"" +
              application.exec + "\" modified=\"" + application.modified + "\" count=\"1\"/>\n";
    }
    text += "        </bookmark:applications>\n      </metadata>\n    </info>\n  </bookmark>\n";
  }
  return text + "</xbel>\n";
}

}  // namespace quayline
