#pragma once

#include <string>
#include <string_view>

namespace quayline {

class PreferenceDomains;

enum class FolderStackStyle { grid = 0, list = 1 };

// The style each folder's stack is shown in, kept in the application's settings as one
// dictionary from folder path to "grid" or "list". Anything else stored there reads as grid and
// is left in place until a style is set.
class FolderStackStyles {
 public:
  static constexpr std::string_view key = "quayline.folderStackStyles";

  explicit FolderStackStyles(PreferenceDomains& defaults) : defaults_(defaults) {}

  FolderStackStyle style(const std::string& folderPath) const;
  void setStyle(FolderStackStyle style, const std::string& folderPath);

 private:
  PreferenceDomains& defaults_;
};

}  // namespace quayline
