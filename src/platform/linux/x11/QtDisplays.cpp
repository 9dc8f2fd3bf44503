#include "platform/linux/x11/QtDisplays.h"

#include <QCursor>
#include <QGuiApplication>
#include <QObject>
#include <QScreen>

#include "foundation/Fnv.h"
#include "platform/linux/x11/Conversions.h"
#include "platform/linux/x11/WindowQuery.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline {

using namespace x11;

namespace {

constexpr auto kReadTimeout = std::chrono::seconds(1);

Rect toRect(const QRect& rect) {
  return Rect(rect.x(), rect.y(), rect.width(), rect.height());
}

DisplayNumber numberOf(const QScreen* screen) {
  return fnv1a32(screen->name().toStdString());
}

// The screens with the primary first.
std::vector<QScreen*> orderedScreens() {
  std::vector<QScreen*> result;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr) {
    result.push_back(primary);
  }
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary) {
      result.push_back(screen);
    }
  }
  return result;
}

}  // namespace

struct QtDisplays::Impl {
  explicit Impl(XConnection& connection_) : connection(connection_) {}

  XConnection& connection;
  QObject context;  // owns every signal connection made here
  Signal<> changes;
  mutable std::mutex mutex;
  Point origin;

  void updateOrigin() {
    Point value;
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
      value = Point{static_cast<double>(primary->geometry().x()),
                    static_cast<double>(primary->geometry().y())};
    }
    std::lock_guard lock(mutex);
    origin = value;
  }

  void watch(QScreen* screen) {
    const auto changed = [this] {
      updateOrigin();
      changes.emit();
    };
    QObject::connect(screen, &QScreen::geometryChanged, &context, changed);
    QObject::connect(screen, &QScreen::availableGeometryChanged, &context, changed);
  }

  Screen describe(const QScreen* screen, const QRect& primary) const {
    const double primaryBottom = primary.y() + primary.height();
    const Point primaryTopLeft{static_cast<double>(primary.x()), static_cast<double>(primary.y())};
    Screen result;
    result.displayNumber = numberOf(screen);
    result.frame = toBottomLeftSpace(rootToGlobal(toRect(screen->geometry()), primaryTopLeft),
                                     primaryBottom - primary.y());
    result.visibleFrame =
        toBottomLeftSpace(rootToGlobal(toRect(screen->availableGeometry()), primaryTopLeft),
                          primaryBottom - primary.y());
    result.backingScaleFactor = screen->devicePixelRatio();
    return result;
  }
};

QtDisplays::QtDisplays(XConnection& connection) : impl_(std::make_unique<Impl>(connection)) {
  impl_->updateOrigin();
  for (QScreen* screen : QGuiApplication::screens()) {
    impl_->watch(screen);
  }
  auto* application = static_cast<QGuiApplication*>(QGuiApplication::instance());
  QObject::connect(application, &QGuiApplication::screenAdded, &impl_->context,
                   [this](QScreen* screen) {
                     impl_->watch(screen);
                     impl_->updateOrigin();
                     impl_->changes.emit();
                   });
  QObject::connect(application, &QGuiApplication::screenRemoved, &impl_->context, [this] {
    impl_->updateOrigin();
    impl_->changes.emit();
  });
  QObject::connect(application, &QGuiApplication::primaryScreenChanged, &impl_->context, [this] {
    impl_->updateOrigin();
    impl_->changes.emit();
  });
}

QtDisplays::~QtDisplays() = default;

std::vector<Screen> QtDisplays::screens() {
  std::vector<Screen> result;
  const auto screens = orderedScreens();
  if (screens.empty()) {
    return result;
  }
  const QRect primary = screens.front()->geometry();
  for (const QScreen* screen : screens) {
    result.push_back(impl_->describe(screen, primary));
  }
  return result;
}

std::optional<Screen> QtDisplays::mainScreen() {
  const auto screens = orderedScreens();
  if (screens.empty()) {
    return std::nullopt;
  }
  const QRect primary = screens.front()->geometry();
  // The screen holding the middle of the active window, else the primary one.
  WindowQuery root(impl_->connection, std::chrono::steady_clock::now() + kReadTimeout);
  root.requestRoot(kActiveWindow);
  root.collect();
  if (const auto active = root.root().activeWindow) {
    WindowQuery query(impl_->connection, std::chrono::steady_clock::now() + kReadTimeout);
    const auto index = query.requestWindow(*active, kGeometry | kExtents);
    query.collect();
    if (const auto frame = query.window(index).frame()) {
      const QPoint middle(static_cast<int>(frame->midX()), static_cast<int>(frame->midY()));
      for (const QScreen* screen : screens) {
        if (screen->geometry().contains(middle)) {
          return impl_->describe(screen, primary);
        }
      }
    }
  }
  return impl_->describe(screens.front(), primary);
}

std::optional<Rect> QtDisplays::displayBounds(DisplayNumber display) {
  for (const QScreen* screen : orderedScreens()) {
    if (numberOf(screen) == display) {
      return rootToGlobal(toRect(screen->geometry()), primaryOrigin());
    }
  }
  return std::nullopt;
}

Point QtDisplays::pointerLocation() {
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) {
    return Point{};
  }
  const QRect geometry = primary->geometry();
  const QPoint position = QCursor::pos();
  return toBottomLeftSpace(
      rootToGlobal(Point{static_cast<double>(position.x()), static_cast<double>(position.y())},
                   Point{static_cast<double>(geometry.x()), static_cast<double>(geometry.y())}),
      geometry.height());
}

std::uint32_t QtDisplays::pressedMouseButtons() {
  XConnection& connection = impl_->connection;
  const auto cookie = xcb_query_pointer(connection.raw(), connection.root());
  const auto reply = connection.take<xcb_query_pointer_reply_t>(
      cookie.sequence, std::chrono::steady_clock::now() + kReadTimeout);
  return reply ? pressedButtons(reply->mask) : 0;
}

Subscription QtDisplays::observeScreenChanges(std::function<void()> observer) {
  return impl_->changes.connect([observer = std::move(observer)] { observer(); });
}

Point QtDisplays::primaryOrigin() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->origin;
}

}  // namespace quayline
