#include "ui/settings/DockEdgeActionMenu.h"

#include <QMenu>

#include "dock/DockEdgeAction.h"

namespace quayline {

namespace {

constexpr int kWidth = 180;

QString label(DockEdgeAction action) {
  const auto text = title(action);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

DockEdgeActionMenu::DockEdgeActionMenu(Selection selection, const DockEdgeActions& actions,
                                       QWidget* parent)
    : QToolButton(parent), selection_(std::move(selection)) {
  setPopupMode(QToolButton::InstantPopup);
  setToolButtonStyle(Qt::ToolButtonTextOnly);
  setFixedWidth(kWidth);
  auto* menu = new QMenu(this);
  for (const auto& [action, raw] : EnumerationCases<DockEdgeAction>::cases) {
    const auto reason = actions.unavailableReason(action);
    QAction* item = menu->addAction(reason ? label(action) + " — " + QString::fromStdString(*reason)
                                           : label(action));
    item->setObjectName(QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size())));
    item->setCheckable(true);
    // Choosing an action that cannot run here is impossible, not pretended.
    item->setEnabled(!reason);
    connect(item, &QAction::triggered, this, [this, action = action] {
      selection_.set(action);
      refresh();
    });
  }
  setMenu(menu);
  refresh();
}

void DockEdgeActionMenu::refresh() {
  const DockEdgeAction current = selection_.get();
  setText(label(current));
  for (QAction* item : menu()->actions()) {
    const auto raw = item->objectName().toStdString();
    item->setChecked(fromRawValue<DockEdgeAction>(raw) == current);
  }
}

}  // namespace quayline
