#include "chrome/ChromeInstanceService.h"

#include <algorithm>
#include <array>
#include <limits>
#include <regex>

#include "foundation/Text.h"
#include "model/Tile.h"
#include "platform/Processes.h"
#include "platform/Workspace.h"

namespace quayline {
namespace {

constexpr std::string_view kUserDataPrefix = "--user-data-dir=";

// A missing launch date counts as the distant past.
double launchTime(const RunningApp& app) {
  return app.launchDate.value_or(-std::numeric_limits<double>::infinity());
}

std::vector<std::string> pathPieces(std::string_view path) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start <= path.size()) {
    auto end = path.find('/', start);
    if (end == std::string_view::npos) {
      end = path.size();
    }
    if (end > start) {
      pieces.emplace_back(path.substr(start, end - start));
    }
    start = end + 1;
  }
  return pieces;
}

}  // namespace

std::vector<RunningApp> ChromeInstanceService::browsers() {
  std::vector<RunningApp> result;
  for (auto& app : workspace_.runningApplications()) {
    if (app.activationPolicy == ActivationPolicy::regular &&
        app.bundleIdentifier == kChromeBundleIdentifier) {
      result.push_back(std::move(app));
    }
  }
  return result;
}

const std::vector<std::string>& ChromeInstanceService::arguments(const RunningApp& app) {
  const CacheKey key{app.pid, app.launchDate};
  if (auto cached = argumentCache_.find(key); cached != argumentCache_.end()) {
    return cached->second;
  }
  argumentCache_.emplace(key, processes_.arguments(app.pid));
  if (argumentCache_.size() > cacheLimit) {
    const auto running = browsers();
    std::erase_if(argumentCache_, [&](const auto& entry) {
      return entry.first != key && std::none_of(running.begin(), running.end(), [&](const auto& b) {
               return CacheKey{b.pid, b.launchDate} == entry.first;
             });
    });
  }
  return argumentCache_.at(key);
}

std::optional<std::string> ChromeInstanceService::userDataDirectory(
    const std::vector<std::string>& arguments) {
  std::optional<std::string> result;
  for (const auto& argument : arguments) {
    if (argument.starts_with(kUserDataPrefix)) {
      result = argument.substr(kUserDataPrefix.size());
    }
  }
  return result;
}

std::optional<std::string> ChromeInstanceService::userDataDirectory(ProcessId pid) {
  for (const auto& app : browsers()) {
    if (app.pid == pid) {
      return userDataDirectory(arguments(app));
    }
  }
  return userDataDirectory(processes_.arguments(pid));
}

std::optional<ProcessId> ChromeInstanceService::mainBrowserProcessIdentifier() {
  std::optional<RunningApp> chosen;
  for (const auto& app : browsers()) {
    if (userDataDirectory(arguments(app))) {
      continue;
    }
    if (!chosen || launchTime(app) < launchTime(*chosen)) {
      chosen = app;
    }
  }
  return chosen ? std::optional(chosen->pid) : std::nullopt;
}

std::vector<ChromeInstance> ChromeInstanceService::secondaryInstances() {
  auto apps = browsers();
  std::stable_sort(apps.begin(), apps.end(),
                   [](const auto& a, const auto& b) { return launchTime(a) < launchTime(b); });
  std::vector<ChromeInstance> result;
  for (const auto& app : apps) {
    if (auto directory = userDataDirectory(arguments(app))) {
      result.push_back({app.pid, *directory, name(*directory)});
    }
  }
  return result;
}

std::string ChromeInstanceService::name(std::string_view userDataDirectory) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> known{{
      {"devtools-mcp", "DevTools MCP"},
      {"chrome-devtools", "DevTools MCP"},
      {"playwright", "Playwright"},
      {"puppeteer", "Puppeteer"},
      {"selenium", "Selenium"},
  }};
  const auto lower = text::lowercased(userDataDirectory);
  for (const auto& [fragment, name] : known) {
    if (lower.find(fragment) != std::string::npos) {
      return std::string(name);
    }
  }

  static constexpr std::array<std::string_view, 8> generic{
      "chrome-profile", "profile", "default", "user-data", "userdata", "data", "tmp", "temp"};
  const auto pieces = pathPieces(userDataDirectory);
  auto piece = std::find_if(pieces.rbegin(), pieces.rend(), [](const std::string& candidate) {
    return std::find(generic.begin(), generic.end(), text::lowercased(candidate)) == generic.end();
  });
  if (piece == pieces.rend()) {
    return "Chrome";
  }
  static const std::regex separators("[-_.]+");
  return text::capitalizedWords(std::regex_replace(*piece, separators, " "));
}

}  // namespace quayline
