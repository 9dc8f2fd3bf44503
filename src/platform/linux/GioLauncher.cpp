#include "platform/linux/GioLauncher.h"

#include <fcntl.h>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <unistd.h>

namespace quayline {

namespace {

struct ObjectDeleter {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, ObjectDeleter>;

// Owns a descriptor of /dev/null for the child's standard streams.
class NullDevice {
 public:
  explicit NullDevice(int flags) : fd_(::open("/dev/null", flags | O_CLOEXEC)) {}
  ~NullDevice() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  NullDevice(const NullDevice&) = delete;
  NullDevice& operator=(const NullDevice&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

struct KeyFileDeleter {
  void operator()(GKeyFile* file) const { g_key_file_free(file); }
};

// The entry with the arguments appended to its Exec line. GIO offers no way to pass arguments
// to an entry, so the entry is read and launched from memory.
GDesktopAppInfo* entryWithArguments(const std::string& desktopFilePath,
                                    const std::vector<std::string>& arguments) {
  std::unique_ptr<GKeyFile, KeyFileDeleter> file(g_key_file_new());
  if (!g_key_file_load_from_file(file.get(), desktopFilePath.c_str(), G_KEY_FILE_KEEP_TRANSLATIONS,
                                 nullptr)) {
    return nullptr;
  }
  char* exec = g_key_file_get_string(file.get(), G_KEY_FILE_DESKTOP_GROUP,
                                     G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr);
  if (exec == nullptr) {
    return nullptr;
  }
  std::string line = exec;
  g_free(exec);
  for (const auto& argument : arguments) {
    line += ' ';
    line += GioLauncher::quotedExecArgument(argument);
  }
  g_key_file_set_string(file.get(), G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_EXEC,
                        line.c_str());
  // Arguments ask a running application for something, typically a new window: the startup id
  // is how that window is told apart later, and GIO hands one out only to entries that say
  // they take part in startup notification.
  g_key_file_set_boolean(file.get(), G_KEY_FILE_DESKTOP_GROUP,
                         G_KEY_FILE_DESKTOP_KEY_STARTUP_NOTIFY, TRUE);
  return g_desktop_app_info_new_from_keyfile(file.get());
}

std::optional<std::string> entryPath(GAppInfo* info) {
  if (info == nullptr || !G_IS_DESKTOP_APP_INFO(info)) {
    return std::nullopt;
  }
  if (const char* path = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(info))) {
    return std::string(path);
  }
  return std::nullopt;
}

}  // namespace

}  // namespace quayline

// A launch context that asks Quayline for startup ids: GIO's own context has none to give without
// a toolkit.
struct QuaylineLaunchContext {
  GAppLaunchContext parent;
  const quayline::GioLauncher::Hooks* hooks;
  // An entry rewritten in memory has no file name of its own: this is the file it came from.
  const char* desktopFilePath;
};
struct QuaylineLaunchContextClass {
  GAppLaunchContextClass parent;
};

G_DEFINE_TYPE(QuaylineLaunchContext, quayline_launch_context, G_TYPE_APP_LAUNCH_CONTEXT)

static char* quayline_launch_context_get_startup_notify_id(GAppLaunchContext* context,
                                                           GAppInfo* info, GList*) {
  const auto* self = reinterpret_cast<QuaylineLaunchContext*>(context);
  if (self->hooks == nullptr || !self->hooks->startupId) {
    return nullptr;
  }
  quayline::StartupRequest request;
  if (const char* name = g_app_info_get_name(info)) {
    request.name = name;
  }
  if (const char* executable = g_app_info_get_executable(info)) {
    request.executable = executable;
  }
  if (G_IS_DESKTOP_APP_INFO(info)) {
    auto* desktop = G_DESKTOP_APP_INFO(info);
    if (const char* path = g_desktop_app_info_get_filename(desktop)) {
      request.desktopFilePath = path;
    } else if (self->desktopFilePath != nullptr) {
      request.desktopFilePath = self->desktopFilePath;
    }
    if (const char* wmClass = g_desktop_app_info_get_startup_wm_class(desktop)) {
      request.wmClass = wmClass;
    }
  }
  const std::string id = self->hooks->startupId(request);
  return id.empty() ? nullptr : g_strdup(id.c_str());
}

static void quayline_launch_context_launch_failed(GAppLaunchContext* context,
                                                  const char* startupId) {
  const auto* self = reinterpret_cast<QuaylineLaunchContext*>(context);
  if (self->hooks != nullptr && self->hooks->launchFailed && startupId != nullptr) {
    self->hooks->launchFailed(startupId);
  }
}

static void quayline_launch_context_class_init(QuaylineLaunchContextClass* type) {
  auto* base = G_APP_LAUNCH_CONTEXT_CLASS(type);
  base->get_startup_notify_id = quayline_launch_context_get_startup_notify_id;
  base->launch_failed = quayline_launch_context_launch_failed;
}

static void quayline_launch_context_init(QuaylineLaunchContext* self) {
  self->hooks = nullptr;
  self->desktopFilePath = nullptr;
}

namespace quayline {

GioLauncher::GioLauncher(Hooks hooks) : hooks_(std::move(hooks)) {}

GioLauncher::~GioLauncher() = default;

std::string GioLauncher::quotedExecArgument(const std::string& argument) {
  std::string quoted = "\"";
  for (const char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') {
      quoted += '\\';
    } else if (c == '%') {
      quoted += '%';
    }
    quoted += c;
  }
  return quoted + '"';
}

bool GioLauncher::launch(const std::string& desktopFilePath, const std::vector<std::string>& uris,
                         const std::function<void(ProcessId)>& spawned,
                         const std::vector<std::string>& arguments) {
  GObjectPtr<GDesktopAppInfo> info(
      arguments.empty() ? g_desktop_app_info_new_from_filename(desktopFilePath.c_str())
                        : entryWithArguments(desktopFilePath, arguments));
  if (!info) {
    return false;
  }
  GObjectPtr<QuaylineLaunchContext> context(static_cast<QuaylineLaunchContext*>(
      g_object_new(quayline_launch_context_get_type(), nullptr)));
  context->hooks = &hooks_;
  context->desktopFilePath = desktopFilePath.c_str();
  // The child must not believe it was started by whoever started us.
  g_app_launch_context_unsetenv(G_APP_LAUNCH_CONTEXT(context.get()), "DESKTOP_STARTUP_ID");

  GList* list = nullptr;
  for (auto it = uris.rbegin(); it != uris.rend(); ++it) {
    list = g_list_prepend(list, const_cast<char*>(it->c_str()));
  }
  NullDevice input(O_RDONLY);
  NullDevice output(O_WRONLY);
  GError* error = nullptr;
  const auto onSpawn = [](GDesktopAppInfo*, GPid pid, gpointer data) {
    const auto& callback = *static_cast<const std::function<void(ProcessId)>*>(data);
    if (callback) {
      callback(static_cast<ProcessId>(pid));
    }
  };
  const gboolean launched = g_desktop_app_info_launch_uris_as_manager_with_fds(
      info.get(), list, G_APP_LAUNCH_CONTEXT(context.get()), G_SPAWN_SEARCH_PATH, nullptr, nullptr,
      onSpawn, const_cast<std::function<void(ProcessId)>*>(&spawned), input.fd(), output.fd(),
      output.fd(), &error);
  g_list_free(list);
  if (error != nullptr) {
    g_error_free(error);
  }
  context->hooks = nullptr;
  context->desktopFilePath = nullptr;
  return launched != FALSE;
}

std::optional<std::string> GioLauncher::handlerForUri(const std::string& uri) {
  GObjectPtr<GAppInfo> handler;
  if (uri.starts_with("file:")) {
    GObjectPtr<GFile> file(g_file_new_for_uri(uri.c_str()));
    handler.reset(g_file_query_default_handler(file.get(), nullptr, nullptr));
  } else if (char* scheme = g_uri_parse_scheme(uri.c_str())) {
    handler.reset(g_app_info_get_default_for_uri_scheme(scheme));
    g_free(scheme);
  }
  return entryPath(handler.get());
}

std::optional<std::string> GioLauncher::handlerForType(const std::string& contentType) {
  GObjectPtr<GAppInfo> handler(g_app_info_get_default_for_type(contentType.c_str(), FALSE));
  return entryPath(handler.get());
}

}  // namespace quayline
