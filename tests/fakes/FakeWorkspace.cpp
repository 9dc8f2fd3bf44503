#include "fakes/FakeWorkspace.h"

namespace quayline {

std::optional<RunningApp> FakeWorkspace::frontmostApplication() {
  for (const auto& app : running) {
    if (frontmostPid && app.pid == *frontmostPid) {
      return app;
    }
  }
  return std::nullopt;
}

std::optional<Url> FakeWorkspace::urlForApplication(std::string_view bundleIdentifier) {
  auto found = installed.find(std::string(bundleIdentifier));
  if (found == installed.end()) {
    return std::nullopt;
  }
  return found->second;
}

bool FakeWorkspace::record(std::string operation, std::vector<std::string> arguments) {
  requests.push_back({std::move(operation), std::move(arguments)});
  return !failRequests;
}

bool FakeWorkspace::openApplication(const Url& applicationURL) {
  return record("open", {applicationURL.absoluteString()});
}

bool FakeWorkspace::openApplication(const Url& applicationURL,
                                    const std::vector<std::string>& arguments) {
  std::vector<std::string> recorded{applicationURL.absoluteString()};
  recorded.insert(recorded.end(), arguments.begin(), arguments.end());
  return record("openWithArguments", std::move(recorded));
}

bool FakeWorkspace::openDocuments(const std::vector<Url>& documents, const Url& applicationURL) {
  std::vector<std::string> arguments{applicationURL.absoluteString()};
  for (const auto& document : documents) {
    arguments.push_back(document.absoluteString());
  }
  return record("openDocuments", std::move(arguments));
}

bool FakeWorkspace::openURL(const Url& url) {
  return record("openURL", {url.absoluteString()});
}

bool FakeWorkspace::revealInFileManager(const std::vector<Url>& urls) {
  std::vector<std::string> arguments;
  for (const auto& url : urls) {
    arguments.push_back(url.absoluteString());
  }
  return record("reveal", std::move(arguments));
}

bool FakeWorkspace::activate(ProcessId pid) {
  return record("activate", {std::to_string(pid)});
}
bool FakeWorkspace::hide(ProcessId pid) {
  return record("hide", {std::to_string(pid)});
}
bool FakeWorkspace::unhide(ProcessId pid) {
  return record("unhide", {std::to_string(pid)});
}
bool FakeWorkspace::terminate(ProcessId pid) {
  return record("terminate", {std::to_string(pid)});
}

RunningApp& FakeWorkspace::addApplication(ProcessId pid, const std::string& bundleIdentifier,
                                          const std::string& name,
                                          std::optional<double> launchDate) {
  RunningApp app;
  app.pid = pid;
  app.bundleIdentifier = bundleIdentifier;
  app.localizedName = name;
  app.bundleURL = Url::fileURL("/apps/" + bundleIdentifier + ".desktop");
  app.launchDate = launchDate;
  running.push_back(app);
  return running.back();
}

}  // namespace quayline
