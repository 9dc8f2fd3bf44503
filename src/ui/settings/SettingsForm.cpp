#include "ui/settings/SettingsForm.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace quayline {

SettingsSection::SettingsSection(QVBoxLayout& pane, const QString& title, const QString& objectName)
    : group_(new QGroupBox(title)), form_(new QFormLayout(group_)), pane_(pane) {
  group_->setObjectName(objectName);
  form_->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  form_->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  pane_.addWidget(group_);
}

void SettingsSection::addRow(const QString& label, QWidget* control, const QString& objectName) {
  control->setObjectName(objectName);
  control->setAccessibleName(label);
  form_->addRow(label, control);
}

void SettingsSection::setFooter(const QString& text) {
  auto* footer = new QLabel(text);
  footer->setObjectName(group_->objectName() + QStringLiteral(":footer"));
  footer->setWordWrap(true);
  footer->setForegroundRole(QPalette::PlaceholderText);
  footer_ = footer;
  pane_.addWidget(footer);
}

void SettingsSection::setVisible(bool visible) {
  group_->setVisible(visible);
  if (footer_) {
    footer_->setVisible(visible);
  }
}

SettingsPage::SettingsPage(const QString& title) {
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
  // Tab goes straight from the sidebar to the pane's first control.
  setFocusPolicy(Qt::NoFocus);
  auto* content = new QWidget;
  sections_ = new QVBoxLayout(content);
  auto* heading = new QLabel(title);
  heading->setObjectName(QStringLiteral("paneTitle"));
  QFont font = heading->font();
  font.setPointSizeF(font.pointSizeF() * 1.4);
  font.setBold(true);
  heading->setFont(font);
  sections_->addWidget(heading);
  setWidget(content);
}

}  // namespace quayline
