#include "platform/linux/x11/QtDisplays.h"

#include <unistd.h>

#include <QCursor>
#include <QGuiApplication>
#include <QObject>
#include <QScreen>
#include <cmath>

#include "foundation/Fnv.h"
#include "platform/linux/x11/Conversions.h"
#include "platform/linux/x11/PanelStruts.h"
#include "platform/linux/x11/SharedPixelSpace.h"
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

// Qt keeps a screen's top-left corner where the X server has it and divides its size by the
// screen's scale.
ScaledScreen scaledScreen(const QScreen* screen) {
  const QRect logical = screen->geometry();
  const double scale = screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1.0;
  return ScaledScreen{Rect(logical.x(), logical.y(), std::round(logical.width() * scale),
                           std::round(logical.height() * scale)),
                      scale};
}

}  // namespace

struct QtDisplays::Impl {
  Impl(XConnection& connection_, SharedPixelSpace* published_)
      : connection(connection_),
        published(published_),
        struts(connection_, static_cast<ProcessId>(::getpid())) {}

  XConnection& connection;
  SharedPixelSpace* published;
  QObject context;  // owns every signal connection made here
  Signal<> changes;
  PanelStruts struts;
  Subscription strutChanges;
  mutable std::mutex mutex;
  PixelSpace space;

  void updateSpace() {
    PixelSpace value = pixelSpaceNow();
    if (published != nullptr) {
      published->set(value);
    }
    std::lock_guard lock(mutex);
    space = std::move(value);
  }

  PixelSpace currentSpace() const {
    std::lock_guard lock(mutex);
    return space;
  }

  void watch(QScreen* screen) {
    const auto changed = [this] {
      updateSpace();
      changes.emit();
    };
    QObject::connect(screen, &QScreen::geometryChanged, &context, changed);
  }

  Screen describe(const QScreen* screen, const QRect& primary) const {
    const double primaryHeight = primary.height();
    const Point primaryTopLeft{static_cast<double>(primary.x()), static_cast<double>(primary.y())};
    Screen result;
    result.displayNumber = numberOf(screen);
    result.frame =
        toBottomLeftSpace(rootToGlobal(toRect(screen->geometry()), primaryTopLeft), primaryHeight);
    // Qt's available geometry comes from _NET_WORKAREA, which counts our own panels too; the
    // struts of other programs' panels are read instead.
    const PixelSpace pixels = currentSpace();
    const Rect visible =
        unreservedArea(scaledScreen(screen).pixels, pixels.pixelBounds(), struts.current());
    result.visibleFrame =
        toBottomLeftSpace(rootToGlobal(pixels.toLogical(visible), primaryTopLeft), primaryHeight);
    result.backingScaleFactor = screen->devicePixelRatio();
    return result;
  }
};

QtDisplays::QtDisplays(XConnection& connection, SharedPixelSpace* published)
    : impl_(std::make_unique<Impl>(connection, published)) {
  impl_->updateSpace();
  impl_->strutChanges = impl_->struts.observe([this] { impl_->changes.emit(); });
  for (QScreen* screen : QGuiApplication::screens()) {
    impl_->watch(screen);
  }
  auto* application = static_cast<QGuiApplication*>(QGuiApplication::instance());
  QObject::connect(application, &QGuiApplication::screenAdded, &impl_->context,
                   [this](QScreen* screen) {
                     impl_->watch(screen);
                     impl_->updateSpace();
                     impl_->changes.emit();
                   });
  QObject::connect(application, &QGuiApplication::screenRemoved, &impl_->context, [this] {
    impl_->updateSpace();
    impl_->changes.emit();
  });
  QObject::connect(application, &QGuiApplication::primaryScreenChanged, &impl_->context, [this] {
    impl_->updateSpace();
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
      const Point middle = impl_->currentSpace().toLogical(Point{frame->midX(), frame->midY()});
      for (const QScreen* screen : screens) {
        if (contains(toRect(screen->geometry()), middle)) {
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
      return rootToGlobal(toRect(screen->geometry()), impl_->currentSpace().primaryOrigin());
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

PixelSpace QtDisplays::pixelSpace() const {
  return impl_->currentSpace();
}

PixelSpace QtDisplays::pixelSpaceNow() {
  PixelSpace space;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    return space;
  }
  for (const QScreen* screen : orderedScreens()) {
    space.screens.push_back(scaledScreen(screen));
  }
  return space;
}

}  // namespace quayline
