#include "foundation/Url.h"

#include <cctype>

namespace quayline {

namespace {

constexpr std::string_view kFileScheme = "file://";

bool isUnreserved(unsigned char c) {
  return std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || c == '/' || c == '!' ||
         c == '$' || c == '&' || c == '\'' || c == '(' || c == ')' || c == '*' || c == '+' ||
         c == ',' || c == ';' || c == '=' || c == ':' || c == '@';
}

int hexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string percentEncodePath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(path.size());
  for (unsigned char c : path) {
    if (isUnreserved(c)) {
      encoded.push_back(static_cast<char>(c));
    } else {
      encoded.push_back('%');
      encoded.push_back(kHex[c >> 4]);
      encoded.push_back(kHex[c & 0xF]);
    }
  }
  return encoded;
}

std::optional<std::string> percentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded.push_back(text[i]);
      continue;
    }
    if (i + 2 >= text.size()) {
      return std::nullopt;
    }
    const int high = hexValue(text[i + 1]);
    const int low = hexValue(text[i + 2]);
    if (high < 0 || low < 0) {
      return std::nullopt;
    }
    decoded.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return decoded;
}

Url Url::fileURL(std::string_view path, bool isDirectory) {
  std::string string(kFileScheme);
  string += percentEncodePath(path);
  if (isDirectory && (string.empty() || string.back() != '/')) {
    string.push_back('/');
  }
  return Url(std::move(string));
}

std::optional<Url> Url::parse(std::string_view text) {
  // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":"
  const auto colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 ||
      !std::isalpha(static_cast<unsigned char>(text[0]))) {
    return std::nullopt;
  }
  for (std::size_t i = 1; i < colon; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') {
      return std::nullopt;
    }
  }
  for (unsigned char c : text) {
    if (c <= 0x20 || c == 0x7F) {
      return std::nullopt;  // whitespace and control characters are never part of a URL
    }
  }
  std::string string(text);
  if (string.starts_with("file:") && !string.starts_with(kFileScheme)) {
    // "file:/x" names the same file as "file:///x".
    string = std::string(kFileScheme) + string.substr(5);
  }
  if (string.starts_with(kFileScheme)) {
    // A host other than empty or "localhost" does not name a local file.
    std::string_view rest = std::string_view(string).substr(kFileScheme.size());
    if (rest.starts_with("localhost/")) {
      string = std::string(kFileScheme) + std::string(rest.substr(9));
    } else if (!rest.starts_with('/')) {
      return std::nullopt;
    }
    if (!percentDecode(std::string_view(string).substr(kFileScheme.size()))) {
      return std::nullopt;
    }
  }
  return Url(std::move(string));
}

bool Url::isFileURL() const {
  return string_.starts_with(kFileScheme);
}

std::string Url::path() const {
  if (!isFileURL()) {
    return {};
  }
  std::string_view encoded = std::string_view(string_).substr(kFileScheme.size());
  const auto query = encoded.find_first_of("?#");
  encoded = encoded.substr(0, query);
  std::string decoded = percentDecode(encoded).value_or(std::string(encoded));
  while (decoded.size() > 1 && decoded.back() == '/') {
    decoded.pop_back();
  }
  return decoded;
}

std::ostream& operator<<(std::ostream& out, const Url& url) {
  return out << url.absoluteString();
}

}  // namespace quayline
