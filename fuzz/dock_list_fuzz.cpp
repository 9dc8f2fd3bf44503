// The system dock's preference file is another program's: any property list must convert
// without crashing, and every converted entry must be well formed.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <variant>

#include "foundation/PropertyValue.h"
#include "model/SystemDockPreferences.h"
#include "platform/FileManager.h"

namespace {

// Every path "exists", and an application's identifier is its file name.
class PermissiveFiles final : public quayline::FileManager {
 public:
  std::string displayName(const std::string& path) override { return path; }
  bool fileExists(const std::string&) override { return true; }
  std::optional<std::string> bundleIdentifier(const std::string& path) override {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto value = quayline::decodePropertyList(std::span<const std::uint8_t>(data, size));
  if (!value) {
    return 0;
  }
  PermissiveFiles files;
  for (const quayline::PropertyValue* list :
       {static_cast<const quayline::PropertyValue*>(&*value), value->find("persistent-apps"),
        value->find("persistent-others")}) {
    if (list == nullptr) {
      continue;
    }
    for (bool appsAllowed : {true, false}) {
      for (const auto& item : quayline::SystemDockPreferences::convert(*list, appsAllowed, files)) {
        if (const auto* app = std::get_if<quayline::SystemDockPreferences::App>(&item)) {
          if (app->bundleIdentifier.empty() || !appsAllowed) {
            std::abort();
          }
          (void)app->url.path();
        }
      }
    }
  }
  return 0;
}
