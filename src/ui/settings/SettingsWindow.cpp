#include "ui/settings/SettingsWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

#include "app/Preferences.h"
#include "settings/AboutInfo.h"
#include "settings/SettingsWindowFrame.h"
#include "ui/settings/AboutPane.h"
#include "ui/settings/BehaviorPane.h"
#include "ui/settings/GeneralPane.h"
#include "ui/settings/HiddenAppsPane.h"
#include "ui/settings/SettingsForm.h"

namespace quayline {

namespace {

// The desktop icon names that stand for the panes' symbols.
QIcon paneIcon(SettingsPane pane) {
  switch (pane) {
    case SettingsPane::general:
      return QIcon::fromTheme(QStringLiteral("preferences-system"));
    case SettingsPane::behavior:
      return QIcon::fromTheme(QStringLiteral("input-mouse"));
    case SettingsPane::hiddenApps:
      return QIcon::fromTheme(QStringLiteral("view-hidden"),
                              QIcon::fromTheme(QStringLiteral("view-conceal-symbolic")));
    case SettingsPane::permissions:
      return QIcon::fromTheme(QStringLiteral("security-high"),
                              QIcon::fromTheme(QStringLiteral("system-lock-screen")));
    case SettingsPane::about:
      return QIcon::fromTheme(QStringLiteral("help-about"));
  }
  return {};
}

// The Edit menu acts on the focused text control, as the responder chain would.
void sendToFocus(const char* slot) {
  if (QWidget* focus = QApplication::focusWidget()) {
    QMetaObject::invokeMethod(focus, slot);
  }
}

}  // namespace

SettingsWindow::SettingsWindow(SettingsServices& services, SettingsNavigation& navigation,
                               const PermissionsContent& permissions,
                               std::function<void()> showSettings)
    : s_(services), navigation_(navigation) {
  setObjectName(QStringLiteral("settings"));
  setWindowTitle(QStringLiteral("Settings"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  buildMainMenu(std::move(showSettings));
  layout->setMenuBar(menuBar_);

  auto* split = new QSplitter(Qt::Horizontal);
  split->setChildrenCollapsible(false);
  sidebar_ = new QListWidget;
  sidebar_->setObjectName(QStringLiteral("sidebar"));
  sidebar_->setMinimumWidth(170);
  sidebar_->setMaximumWidth(230);
  panes_ = new QStackedWidget;
  panes_->setObjectName(QStringLiteral("panes"));
  for (SettingsPane pane : allCases<SettingsPane>()) {
    QIcon icon = paneIcon(pane);
    if (icon.isNull()) {
      // A theme without the symbol: an empty icon keeps the titles in one column.
      const int side = sidebar_->style()->pixelMetric(QStyle::PM_SmallIconSize);
      QPixmap blank(sidebar_->iconSize().isValid() ? sidebar_->iconSize() : QSize(side, side));
      blank.fill(Qt::transparent);
      icon = QIcon(blank);
    }
    auto* item = new QListWidgetItem(icon, qstring(title(pane)), sidebar_);
    item->setData(Qt::UserRole, static_cast<int>(pane));
    QWidget* page = nullptr;
    switch (pane) {
      case SettingsPane::general:
        following_.push_back(new GeneralPane(s_));
        page = following_.back();
        break;
      case SettingsPane::behavior:
        following_.push_back(new BehaviorPane(s_));
        page = following_.back();
        break;
      case SettingsPane::hiddenApps:
        page = new HiddenAppsPane(s_.hiddenApps);
        break;
      case SettingsPane::permissions:
        page = permissionsPage(permissions);
        break;
      case SettingsPane::about:
        page = new AboutPane(AboutInfo::read(s_.bundle));
        break;
    }
    page->setObjectName(qstring(rawValue(pane)));
    panes_->addWidget(page);
  }
  split->addWidget(sidebar_);
  split->addWidget(panes_);
  split->setStretchFactor(1, 1);
  split->setSizes({190, 590});
  layout->addWidget(split);

  connect(sidebar_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) {
      navigation_.pane.set(allCases<SettingsPane>()[static_cast<std::size_t>(row)]);
    }
  });
  paneChanged_ = navigation_.pane.observe([this](const SettingsPane& pane) { select(pane); });
  select(navigation_.pane.get());
  observePreferences();
  // The keyboard starts in the sidebar: arrows pick a pane, Tab moves into it.
  sidebar_->setFocus();

  resize(static_cast<int>(SettingsWindowFrame::contentSize.width),
         static_cast<int>(SettingsWindowFrame::contentSize.height));
  setMinimumSize(static_cast<int>(SettingsWindowFrame::minimumSize.width),
                 static_cast<int>(SettingsWindowFrame::minimumSize.height));
}

SettingsWindow::~SettingsWindow() = default;

QWidget& SettingsWindow::pane(SettingsPane pane) const {
  return *panes_->widget(static_cast<int>(pane));
}

void SettingsWindow::buildMainMenu(std::function<void()> showSettings) {
  menuBar_ = new QMenuBar(this);
  menuBar_->setObjectName(QStringLiteral("mainMenu"));
  QMenu* application = menuBar_->addMenu(QStringLiteral("Quayline"));
  application->addAction(QStringLiteral("Settings"), QKeySequence(QStringLiteral("Ctrl+,")), this,
                         std::move(showSettings));
  application->addSeparator();
  application->addAction(QStringLiteral("Quit Quayline"), QKeySequence(QStringLiteral("Ctrl+Q")),
                         this, [quit = s_.quit] {
                           if (quit) {
                             quit();
                           }
                         });
  QMenu* edit = menuBar_->addMenu(QStringLiteral("Edit"));
  const std::pair<const char*, QKeySequence::StandardKey> editing[] = {
      {"Undo", QKeySequence::Undo},
      {"Redo", QKeySequence::Redo},
      {"Copy", QKeySequence::Copy},
      {"Paste", QKeySequence::Paste},
      {"Select All", QKeySequence::SelectAll}};
  const char* slots[] = {"undo", "redo", "copy", "paste", "selectAll"};
  for (std::size_t i = 0; i < std::size(editing); ++i) {
    if (i == 2) {
      edit->addSeparator();
    }
    edit->addAction(QString::fromUtf8(editing[i].first), QKeySequence(editing[i].second), this,
                    [slot = slots[i]] { sendToFocus(slot); });
  }
  QMenu* window = menuBar_->addMenu(QStringLiteral("Window"));
  window->addAction(QStringLiteral("Minimize"), QKeySequence(QStringLiteral("Ctrl+M")), this,
                    [this] { showMinimized(); });
  window->addAction(QStringLiteral("Close"), QKeySequence(QStringLiteral("Ctrl+W")), this,
                    [this] { close(); });
}

QWidget* SettingsWindow::permissionsPage(const PermissionsContent& permissions) {
  // A page of its own with the pane's title; the rows come from the permissions view.
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* heading = new QLabel(QStringLiteral("Permissions"));
  heading->setObjectName(QStringLiteral("paneTitle"));
  QFont font = heading->font();
  font.setPointSizeF(font.pointSizeF() * 1.4);
  font.setBold(true);
  heading->setFont(font);
  layout->addWidget(heading);
  QWidget* content = permissions ? permissions(page) : nullptr;
  if (!content) {
    content = new QLabel(QStringLiteral("This build of Quayline cannot check permissions."));
    content->setObjectName(QStringLiteral("permissionsUnavailable"));
  }
  layout->addWidget(content, 1);
  layout->addStretch();
  return page;
}

void SettingsWindow::observePreferences() {
  using Key = Preferences::Key;
  std::set<Key> every;
  for (int key = 0; key <= static_cast<int>(Key::opensAtLogin); ++key) {
    every.insert(static_cast<Key>(key));
  }
  preferencesChanged_ = s_.preferences.observeNextChange(every, [this] {
    observePreferences();
    for (SettingsPage* page : following_) {
      page->refresh();
    }
  });
}

void SettingsWindow::select(SettingsPane pane) {
  const int index = static_cast<int>(pane);
  panes_->setCurrentIndex(index);
  if (sidebar_->currentRow() != index) {
    sidebar_->setCurrentRow(index);
  }
}

void SettingsWindow::storeFrame() {
  const QRect frame = geometry();
  SettingsWindowFrame::store(s_.domains, Rect(frame.x(), frame.y(), frame.width(), frame.height()));
}

void SettingsWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) {
    storeFrame();
  }
}

}  // namespace quayline
