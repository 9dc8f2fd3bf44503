#include "ui/permissions/PermissionRowWidget.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace quayline {

namespace {

// Stand-ins for the "checkmark.circle.fill" and "circle" symbols.
constexpr const char* kGrantedSymbol = "\u2714";
constexpr const char* kMissingSymbol = "\u25CB";

}  // namespace

PermissionRowWidget::PermissionRowWidget(QWidget* parent)
    : QWidget(parent),
      symbol_(new QLabel(this)),
      title_(new QLabel(this)),
      tag_(new QLabel(this)),
      description_(new QLabel(this)),
      status_(new QLabel(this)),
      reason_(new QLabel(this)),
      button_(new QPushButton(this)) {
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);
  // The chip: 9-point text in a capsule of the secondary colour at 15 % opacity.
  QFont small = tag_->font();
  small.setPointSize(9);
  tag_->setFont(small);
  tag_->setStyleSheet(
      "QLabel { padding: 1px 5px; border-radius: 7px; background: rgba(128, 128, 128, 38); }");
  description_->setWordWrap(true);
  reason_->setWordWrap(true);
  reason_->setForegroundRole(QPalette::PlaceholderText);

  auto* heading = new QHBoxLayout();
  heading->addWidget(title_);
  heading->addWidget(tag_);
  heading->addStretch();
  auto* layout = new QGridLayout(this);
  layout->addWidget(symbol_, 0, 0, Qt::AlignTop);
  layout->addLayout(heading, 0, 1);
  layout->addWidget(description_, 1, 1);
  layout->addWidget(reason_, 2, 1);
  layout->addWidget(status_, 0, 2, Qt::AlignRight);
  layout->addWidget(button_, 1, 2, Qt::AlignRight | Qt::AlignTop);
  layout->setColumnStretch(1, 1);
  QObject::connect(button_, &QPushButton::clicked, this, [this] {
    if (pressed) {
      pressed();
    }
  });
}

void PermissionRowWidget::setRow(const PermissionRow& row) {
  const QString identifier = QString::fromStdString(row.identifier);
  setObjectName(identifier);
  setAccessibleName(identifier);
  symbol_->setText(row.granted ? kGrantedSymbol : kMissingSymbol);
  title_->setText(QString::fromStdString(row.title));
  tag_->setText(QString::fromStdString(row.tag));
  tag_->setVisible(!row.tag.empty());
  description_->setText(QString::fromStdString(row.description));
  status_->setText(QString::fromStdString(row.status));
  reason_->setText(QString::fromStdString(row.reason));
  reason_->setVisible(!row.reason.empty());
  button_->setText(QString::fromStdString(row.buttonTitle));
  button_->setVisible(!row.buttonTitle.empty());
}

}  // namespace quayline
