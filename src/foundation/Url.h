#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace quayline {

// A URL kept in its absolute string form. File URLs are the common case: a directory's file URL
// ends in "/", and `path()` reads back the plain path it was made from.
class Url {
 public:
  Url() = default;

  // "file://" + the percent-encoded path, with a trailing "/" for directories.
  static Url fileURL(std::string_view path, bool isDirectory = false);

  // Accepts an absolute URL with a scheme ("file:///x", "https://…"); nothing otherwise.
  static std::optional<Url> parse(std::string_view text);

  const std::string& absoluteString() const { return string_; }
  bool isFileURL() const;

  // For a file URL: the decoded path without a trailing "/" (except for the root itself).
  std::string path() const;

  bool operator==(const Url&) const = default;

 private:
  explicit Url(std::string string) : string_(std::move(string)) {}
  std::string string_;
};

std::ostream& operator<<(std::ostream& out, const Url& url);

std::string percentEncodePath(std::string_view path);
std::optional<std::string> percentDecode(std::string_view text);

}  // namespace quayline

template <>
struct std::hash<quayline::Url> {
  std::size_t operator()(const quayline::Url& url) const noexcept {
    return std::hash<std::string>{}(url.absoluteString());
  }
};
