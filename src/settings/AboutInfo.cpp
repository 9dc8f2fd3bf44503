#include "settings/AboutInfo.h"

#include "platform/ApplicationBundle.h"

namespace quayline {

namespace {

std::string text(ApplicationBundle& bundle, std::string_view key) {
  const auto value = bundle.infoValue(key);
  const std::string* string = value ? value->string() : nullptr;
  return string ? *string : std::string();
}

}  // namespace

AboutInfo AboutInfo::read(ApplicationBundle& bundle) {
  AboutInfo info;
  info.name = text(bundle, "CFBundleName");
  if (info.name.empty()) {
    info.name = "Quayline";
  }
  const std::string shortVersion = text(bundle, "CFBundleShortVersionString");
  const std::string build = text(bundle, "CFBundleVersion");
  if (shortVersion.empty() || build.empty() || build == shortVersion) {
    info.version = shortVersion.empty() ? build : shortVersion;
  } else {
    info.version = shortVersion + " (" + build + ")";
  }
  if (info.version.empty()) {
    info.version = "Unknown";
  }
  info.footer = info.name + " gives every Chrome profile its own dock icon.";
  if (const std::string copyright = text(bundle, "NSHumanReadableCopyright"); !copyright.empty()) {
    info.footer += " " + copyright;
  }
  return info;
}

}  // namespace quayline
