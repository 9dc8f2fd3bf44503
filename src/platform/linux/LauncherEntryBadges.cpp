#include "platform/linux/LauncherEntryBadges.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QObject>
#include <QVariantMap>
#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/linux/XdgApplicationDirectories.h"

namespace quayline {

namespace {

constexpr std::string_view kCategory = "badges";
const QString kBusName = QStringLiteral("com.canonical.Unity");
const QString kInterface = QStringLiteral("com.canonical.Unity.LauncherEntry");
const QString kApplicationScheme = QStringLiteral("application://");

// What one application has published so far.
struct LauncherEntry {
  std::optional<std::int64_t> count;
  bool countVisible = false;
};

struct TreeElement final : AccessibilityElement {
  enum class Kind { application, list, tile };
  explicit TreeElement(Kind elementKind) : kind(elementKind) {}
  Kind kind;
  std::string label;       // tiles only
  std::optional<Url> url;  // tiles only
};

bool isInteger(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
      return true;
    default:
      return false;
  }
}

// Receives the bus's signals on the main thread and keeps the merged state.
class Receiver final : public QObject {
  Q_OBJECT

 public:
  std::mutex mutex;
  std::map<std::string, LauncherEntry> entries;  // by desktop-file id
  std::atomic<bool> owned = false;

 public Q_SLOTS:
  void update(const QDBusMessage& message) {
    // Anyone may send anything: only well-formed updates count.
    const QList<QVariant> arguments = message.arguments();
    if (message.signature() != QLatin1String("sa{sv}") || arguments.size() != 2) {
      return;
    }
    const QString uri = arguments[0].toString();
    if (!uri.startsWith(kApplicationScheme)) {
      return;
    }
    const std::string id = uri.mid(kApplicationScheme.size()).toStdString();
    if (id.empty()) {
      return;
    }
    const auto properties = qdbus_cast<QVariantMap>(arguments[1]);
    std::lock_guard lock(mutex);
    // Senders publish their whole state once, then only what changed.
    LauncherEntry& entry = entries[id];
    if (const QVariant count = properties.value(QStringLiteral("count")); isInteger(count)) {
      entry.count = count.toLongLong();
    }
    if (const QVariant visible = properties.value(QStringLiteral("count-visible"));
        visible.typeId() == QMetaType::Bool) {
      entry.countVisible = visible.toBool();
    }
  }
};

}  // namespace

struct LauncherEntryBadges::Impl {
  Impl(SystemLog& systemLog, const QString& address) : log(systemLog) {
    static std::atomic<int> connections = 0;
    name = QStringLiteral("quayline-badges-%1").arg(connections++);
    if (address.isEmpty()) {
      logOnce("no session bus: badges are not shown");
      return;
    }
    connection = QDBusConnection::connectToBus(address, name);
    if (!connection->isConnected()) {
      logOnce("cannot connect to the session bus (" +
              connection->lastError().message().toStdString() + "): badges are not shown");
      return;
    }
    connection->connect(QString(), QString(), kInterface, QStringLiteral("Update"), &receiver,
                        SLOT(update(QDBusMessage)));
    QDBusConnectionInterface* bus = connection->interface();
    QObject::connect(bus, &QDBusConnectionInterface::serviceRegistered, &receiver,
                     [this](const QString& service) {
                       if (service == kBusName) {
                         receiver.owned = true;
                       }
                     });
    QObject::connect(bus, &QDBusConnectionInterface::serviceUnregistered, &receiver,
                     [this](const QString& service) {
                       if (service == kBusName) {
                         receiver.owned = false;
                       }
                     });
    // Another owner keeps the name until it leaves; the queue hands it over then.
    const auto reply = bus->registerService(kBusName, QDBusConnectionInterface::QueueService,
                                            QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
      receiver.owned = true;
    } else if (!reply.isValid()) {
      logOnce("cannot own " + kBusName.toStdString() + " (" +
              reply.error().message().toStdString() + ")");
    }
  }

  ~Impl() {
    if (connection) {
      connection->disconnect(QString(), QString(), kInterface, QStringLiteral("Update"), &receiver,
                             SLOT(update(QDBusMessage)));
      connection.reset();
      QDBusConnection::disconnectFromBus(name);
    }
  }

  bool connected() const {
    if (connection && connection->isConnected()) {
      return true;
    }
    if (connection) {
      logOnce("the session bus went away: badges are not shown");
    }
    return false;
  }

  void logOnce(const std::string& message) const {
    if (!logged.exchange(true)) {
      log.log(kCategory, message);
    }
  }

  std::vector<AXElement> tiles() {
    std::vector<AXElement> result;
    if (!connected()) {
      return result;
    }
    std::map<std::string, LauncherEntry> entries;
    {
      std::lock_guard lock(receiver.mutex);
      entries = receiver.entries;
    }
    for (const auto& [id, entry] : entries) {
      const auto path = XdgApplicationDirectories::entryPath(id);
      if (!path) {
        continue;  // not installed here: there is no tile to show it on
      }
      auto tile = std::make_shared<TreeElement>(TreeElement::Kind::tile);
      if (entry.countVisible && entry.count && *entry.count != 0) {
        tile->label = std::to_string(*entry.count);
      }
      tile->url = Url::fileURL(*path);
      result.push_back(std::move(tile));
    }
    // Readers pass through lists of a single element looking for the tiles, so a lone badged
    // application would be taken for a container; a trailing separator, as docks have, keeps
    // the list a list.
    if (!result.empty()) {
      result.push_back(std::make_shared<TreeElement>(TreeElement::Kind::tile));
    }
    return result;
  }

  SystemLog& log;
  QString name;
  Receiver receiver;
  std::optional<QDBusConnection> connection;
  mutable std::atomic<bool> logged = false;
};

namespace {

QString sessionBusAddress() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  return address != nullptr ? QString::fromUtf8(address) : QString();
}

}  // namespace

LauncherEntryBadges::LauncherEntryBadges(SystemLog& log)
    : impl_(std::make_unique<Impl>(log, sessionBusAddress())) {}

LauncherEntryBadges::LauncherEntryBadges(SystemLog& log, const std::string& busAddress)
    : impl_(std::make_unique<Impl>(log, QString::fromStdString(busAddress))) {}

LauncherEntryBadges::~LauncherEntryBadges() = default;

bool LauncherEntryBadges::ownsBusName() const {
  return impl_->receiver.owned && impl_->connection && impl_->connection->isConnected();
}

RunningApp LauncherEntryBadges::dockApplication() const {
  RunningApp dock;
  dock.pid = dockPid;
  dock.bundleIdentifier = "com.apple.dock";
  dock.localizedName = "Dock";
  // Never a tile of its own.
  dock.activationPolicy = ActivationPolicy::prohibited;
  return dock;
}

AXElement LauncherEntryBadges::applicationElement(ProcessId pid) {
  if (pid != dockPid) {
    return nullptr;
  }
  return std::make_shared<TreeElement>(TreeElement::Kind::application);
}

std::optional<AXValue> LauncherEntryBadges::attribute(const AXElement& element,
                                                      std::string_view name) {
  const auto* node = dynamic_cast<const TreeElement*>(element.get());
  if (node == nullptr) {
    return std::nullopt;
  }
  switch (node->kind) {
    case TreeElement::Kind::application:
      if (name == AX::children) {
        return std::vector<AXElement>{std::make_shared<TreeElement>(TreeElement::Kind::list)};
      }
      break;
    case TreeElement::Kind::list:
      if (name == AX::children) {
        return impl_->tiles();
      }
      break;
    case TreeElement::Kind::tile:
      if (name == AX::statusLabel && node->url) {
        return node->label;
      }
      if (name == AX::url && node->url) {
        return *node->url;
      }
      break;
  }
  return std::nullopt;
}

std::vector<std::vector<std::optional<AXValue>>> LauncherEntryBadges::attributes(
    const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) {
  std::vector<std::vector<std::optional<AXValue>>> result;
  for (const auto& element : elements) {
    auto& row = result.emplace_back();
    for (auto name : names) {
      row.push_back(attribute(element, name));
    }
  }
  return result;
}

}  // namespace quayline

#include "LauncherEntryBadges.moc"
