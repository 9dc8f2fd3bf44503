#include "platform/linux/x11/StartupNotification.h"

#include <cctype>

namespace quayline::x11 {

namespace {

constexpr std::size_t kChunk = 20;
// A message that never ends is dropped rather than kept growing.
constexpr std::size_t kLongestMessage = 64 * 1024;

bool needsQuotes(std::string_view value) {
  if (value.empty()) {
    return true;
  }
  for (const char c : value) {
    if (c == ' ' || c == '"' || c == '\\' || c == '=') {
      return true;
    }
  }
  return false;
}

}  // namespace

std::optional<std::string> StartupMessage::field(std::string_view key) const {
  if (auto found = fields.find(std::string(key)); found != fields.end()) {
    return found->second;
  }
  return std::nullopt;
}

std::optional<StartupMessage> parseStartupMessage(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0) {
    return std::nullopt;
  }
  StartupMessage message;
  message.type = std::string(text.substr(0, colon));
  for (const char c : message.type) {
    if (!std::islower(static_cast<unsigned char>(c))) {
      return std::nullopt;
    }
  }
  std::size_t i = colon + 1;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') {
      ++i;
    }
    if (i >= text.size()) {
      break;
    }
    const auto equals = text.find('=', i);
    if (equals == std::string_view::npos) {
      return std::nullopt;
    }
    std::string key(text.substr(i, equals - i));
    if (key.empty() || key.find(' ') != std::string::npos) {
      return std::nullopt;
    }
    i = equals + 1;
    std::string value;
    bool quoted = false;
    for (; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '\\' && i + 1 < text.size()) {
        value.push_back(text[++i]);
      } else if (c == '"') {
        quoted = !quoted;
      } else if (c == ' ' && !quoted) {
        break;
      } else {
        value.push_back(c);
      }
    }
    if (quoted) {
      return std::nullopt;
    }
    message.fields[std::move(key)] = std::move(value);
  }
  return message;
}

std::string formatStartupMessage(const StartupMessage& message) {
  std::string text = message.type + ":";
  for (const auto& [key, value] : message.fields) {
    text += " " + key + "=";
    if (!needsQuotes(value)) {
      text += value;
      continue;
    }
    text.push_back('"');
    for (const char c : value) {
      if (c == '"' || c == '\\') {
        text.push_back('\\');
      }
      text.push_back(c);
    }
    text.push_back('"');
  }
  return text;
}

std::vector<std::string> startupMessageChunks(std::string_view text) {
  std::string terminated(text);
  terminated.push_back('\0');
  std::vector<std::string> chunks;
  for (std::size_t at = 0; at < terminated.size(); at += kChunk) {
    std::string chunk = terminated.substr(at, kChunk);
    chunk.resize(kChunk, '\0');
    chunks.push_back(std::move(chunk));
  }
  return chunks;
}

std::optional<std::string> StartupMessageAssembler::add(xcb_window_t sender, bool begins,
                                                        const std::uint8_t* data20) {
  if (begins) {
    partial_[sender].clear();
  } else if (!partial_.contains(sender)) {
    return std::nullopt;  // the beginning was missed
  }
  std::string& text = partial_[sender];
  for (std::size_t i = 0; i < kChunk; ++i) {
    if (data20[i] == 0) {
      std::string complete = std::move(text);
      partial_.erase(sender);
      return complete;
    }
    text.push_back(static_cast<char>(data20[i]));
  }
  if (text.size() > kLongestMessage) {
    partial_.erase(sender);
  }
  return std::nullopt;
}

}  // namespace quayline::x11
