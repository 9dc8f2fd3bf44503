#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LoginItemRegistration.h"

namespace quayline {

// The login item as an XDG autostart entry, $XDG_CONFIG_HOME/autostart/com.orrin.quayline.desktop.
// Desktops switch such an entry off by adding Hidden=true or X-GNOME-Autostart-enabled=false to
// it; that switch belongs to the user and reads as awaiting approval.
class XdgAutostartEntry final : public LoginItemRegistration {
 public:
  static constexpr std::string_view fileName = "com.orrin.quayline.desktop";

  explicit XdgAutostartEntry(std::filesystem::path file) : file_(std::move(file)) {}
  // From $XDG_CONFIG_HOME (~/.config when unset or relative).
  static std::filesystem::path defaultPath();

  Status status() override;
  // Written atomically: a reader sees the old entry or the whole new one.
  std::optional<std::string> registerProgram(const std::string& executable) override;
  std::optional<std::string> unregister() override;

  const std::filesystem::path& path() const { return file_; }

  // The entry's text for the program.
  static std::string entryText(const std::string& executable);
  // An Exec value for the arguments, quoted and escaped by the desktop-entry rules, ready to
  // follow "Exec=".
  static std::string execValue(const std::vector<std::string>& arguments);
  // The arguments of an Exec value; empty when it is malformed.
  static std::vector<std::string> execArguments(std::string_view value);

 private:
  std::filesystem::path file_;
};

}  // namespace quayline
