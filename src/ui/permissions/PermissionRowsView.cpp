#include "ui/permissions/PermissionRowsView.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/permissions/PermissionRowWidget.h"

namespace quayline {

PermissionRowsView::PermissionRowsView(PermissionRows& rows, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent), rows_(rows), scheduler_(scheduler) {
  setObjectName("permissions");
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel(
      QString::fromUtf8(PermissionRows::sectionTitle.data(), PermissionRows::sectionTitle.size()),
      this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  layout->addWidget(title);
  for (const PermissionRow& row : rows_.rows({})) {
    auto* widget = new PermissionRowWidget(this);
    const SystemPermission permission = row.permission;
    widget->pressed = [this, permission] {
      rows_.press(permission);
      draw(rows_.rows(rows_.check()));
    };
    widget->setRow(row);
    widgets_.push_back(widget);
    layout->addWidget(widget);
  }
  auto* footer = new QLabel(
      QString::fromUtf8(PermissionRows::footer.data(), PermissionRows::footer.size()), this);
  footer->setWordWrap(true);
  footer->setForegroundRole(QPalette::PlaceholderText);
  layout->addWidget(footer);
  layout->addStretch();
}

void PermissionRowsView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh_ =
      rows_.watch(scheduler_, [this](const std::vector<PermissionRow>& rows) { draw(rows); });
}

void PermissionRowsView::hideEvent(QHideEvent* event) {
  refresh_.reset();
  QWidget::hideEvent(event);
}

void PermissionRowsView::draw(const std::vector<PermissionRow>& rows) {
  for (std::size_t i = 0; i < rows.size() && i < widgets_.size(); ++i) {
    widgets_[i]->setRow(rows[i]);
  }
}

}  // namespace quayline
