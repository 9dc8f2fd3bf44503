#include "platform/linux/GSettingsDesktopAppearance.h"

#include <gio/gio.h>

#include <QGuiApplication>
#include <QIcon>
#include <QPalette>
#include <algorithm>
#include <map>
#include <string_view>

namespace quayline {
namespace {

constexpr const char* kInterfaceSchema = "org.gnome.desktop.interface";
constexpr const char* kAccessibilitySchema = "org.gnome.desktop.a11y.interface";

struct ObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
using SettingsHandle = std::unique_ptr<GSettings, ObjectUnref>;

struct SchemaUnref {
  void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};

// GSettings aborts the process on an unknown schema or key, so both are checked first.
SettingsHandle openSettings(const char* schemaId, GSettingsSchema** schemaOut) {
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  if (source == nullptr) {
    return nullptr;
  }
  GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
  if (schema == nullptr) {
    return nullptr;
  }
  *schemaOut = schema;
  return SettingsHandle(g_settings_new_full(schema, nullptr, nullptr));
}

bool lowercaseEndsWith(std::string value, std::string_view suffix) {
  std::transform(value.begin(), value.end(), value.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return value.size() >= suffix.size() && value.ends_with(suffix);
}

}  // namespace

struct GSettingsDesktopAppearance::Settings {
  SettingsHandle interface;
  std::unique_ptr<GSettingsSchema, SchemaUnref> interfaceSchema;
  SettingsHandle accessibility;
  std::unique_ptr<GSettingsSchema, SchemaUnref> accessibilitySchema;
  struct Observers {
    std::map<std::uint64_t, std::function<void()>> callbacks;
    std::uint64_t next = 0;
  };
  // Shared with the subscriptions, which may outlive the adapter.
  std::shared_ptr<Observers> observers = std::make_shared<Observers>();
  std::vector<gulong> handlers;

  bool has(GSettingsSchema* schema, const char* key) const {
    return schema != nullptr && g_settings_schema_has_key(schema, key);
  }

  std::string string(GSettings* settings, GSettingsSchema* schema, const char* key) const {
    if (settings == nullptr || !has(schema, key)) {
      return {};
    }
    GVariant* value = g_settings_get_value(settings, key);
    std::string result;
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
      result = g_variant_get_string(value, nullptr);
    }
    g_variant_unref(value);
    return result;
  }

  bool flag(GSettings* settings, GSettingsSchema* schema, const char* key) const {
    if (settings == nullptr || !has(schema, key)) {
      return false;
    }
    GVariant* value = g_settings_get_value(settings, key);
    const bool result =
        g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN) && g_variant_get_boolean(value);
    g_variant_unref(value);
    return result;
  }

  static void changed(GSettings*, gchar*, gpointer data) {
    const std::shared_ptr<Observers> observers = static_cast<Settings*>(data)->observers;
    const auto snapshot = observers->callbacks;
    for (const auto& [id, observer] : snapshot) {
      if (observers->callbacks.count(id) != 0) {
        observer();
      }
    }
  }
};

GSettingsDesktopAppearance::GSettingsDesktopAppearance() : settings_(std::make_unique<Settings>()) {
  GSettingsSchema* schema = nullptr;
  settings_->interface = openSettings(kInterfaceSchema, &schema);
  settings_->interfaceSchema.reset(schema);
  schema = nullptr;
  settings_->accessibility = openSettings(kAccessibilitySchema, &schema);
  settings_->accessibilitySchema.reset(schema);
  // GSettings delivers its change signal through the default main context, which the Qt event
  // loop runs on this platform.
  for (GSettings* settings : {settings_->interface.get(), settings_->accessibility.get()}) {
    if (settings != nullptr) {
      settings_->handlers.push_back(
          g_signal_connect(settings, "changed", G_CALLBACK(&Settings::changed), settings_.get()));
    }
  }
}

GSettingsDesktopAppearance::~GSettingsDesktopAppearance() {
  std::size_t index = 0;
  for (GSettings* settings : {settings_->interface.get(), settings_->accessibility.get()}) {
    if (settings != nullptr && index < settings_->handlers.size()) {
      g_signal_handler_disconnect(settings, settings_->handlers[index++]);
    }
  }
}

DesktopAppearance::ColorScheme GSettingsDesktopAppearance::colorScheme() {
  GSettings* interface = settings_->interface.get();
  GSettingsSchema* schema = settings_->interfaceSchema.get();
  if (interface != nullptr) {
    if (settings_->string(interface, schema, "color-scheme") == "prefer-dark") {
      return ColorScheme::dark;
    }
    if (lowercaseEndsWith(settings_->string(interface, schema, "gtk-theme"), "-dark")) {
      return ColorScheme::dark;
    }
    return ColorScheme::light;
  }
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    const QPalette palette = QGuiApplication::palette();
    if (palette.color(QPalette::Window).lightness() <
        palette.color(QPalette::WindowText).lightness()) {
      return ColorScheme::dark;
    }
  }
  return ColorScheme::light;
}

DesktopAppearance::AccessibilityDisplayOptions
GSettingsDesktopAppearance::accessibilityDisplayOptions() {
  AccessibilityDisplayOptions options;
  GSettings* interface = settings_->interface.get();
  GSettingsSchema* interfaceSchema = settings_->interfaceSchema.get();
  if (interface != nullptr && settings_->has(interfaceSchema, "enable-animations")) {
    options.reduceMotion = !settings_->flag(interface, interfaceSchema, "enable-animations");
  }
  options.increaseContrast =
      settings_->flag(settings_->accessibility.get(), settings_->accessibilitySchema.get(),
                      "high-contrast") ||
      settings_->flag(interface, interfaceSchema, "high-contrast");
  // No desktop setting stands for reduced transparency; it stays off.
  return options;
}

std::string GSettingsDesktopAppearance::iconTheme() {
  std::string theme =
      settings_->string(settings_->interface.get(), settings_->interfaceSchema.get(), "icon-theme");
  if (theme.empty() && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    theme = QIcon::themeName().toStdString();
  }
  return theme;
}

Subscription GSettingsDesktopAppearance::observeChanges(std::function<void()> observer) {
  const std::shared_ptr<Settings::Observers>& observers = settings_->observers;
  const std::uint64_t id = observers->next++;
  observers->callbacks.emplace(id, std::move(observer));
  std::weak_ptr<Settings::Observers> weak = observers;
  return Subscription([weak, id] {
    if (auto alive = weak.lock()) {
      alive->callbacks.erase(id);
    }
  });
}

}  // namespace quayline
