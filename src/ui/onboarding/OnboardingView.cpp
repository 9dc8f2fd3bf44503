#include "ui/onboarding/OnboardingView.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/Onboarding.h"
#include "ui/permissions/PermissionRowWidget.h"

namespace quayline {

namespace {

QString text(std::string_view value) {
  return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

QPushButton* button(std::string_view title, QWidget* parent, std::function<void()> action) {
  auto* result = new QPushButton(text(title), parent);
  result->setObjectName(text(title));
  QObject::connect(result, &QPushButton::clicked, parent, std::move(action));
  return result;
}

}  // namespace

OnboardingView::OnboardingView(Onboarding& onboarding)
    : onboarding_(onboarding), stuckRow_(new QWidget(this)) {
  setObjectName("onboarding");
  setWindowTitle(text(Onboarding::windowTitle));
  setMinimumWidth(520);
  auto* layout = new QVBoxLayout(this);
  auto* header = new QLabel(text(Onboarding::windowTitle), this);
  QFont large = header->font();
  large.setPointSizeF(large.pointSizeF() * 1.6);
  large.setBold(true);
  header->setFont(large);
  layout->addWidget(header);
  auto* introduction = new QLabel(text(Onboarding::introduction), this);
  introduction->setWordWrap(true);
  layout->addWidget(introduction);

  for (const PermissionRow& row : onboarding_.rows()) {
    auto* widget = new PermissionRowWidget(this);
    const SystemPermission permission = row.permission;
    widget->pressed = [this, permission] {
      onboarding_.press(permission);
      redraw();
    };
    rows_.push_back(widget);
    layout->addWidget(widget);
  }

  stuckRow_->setObjectName("onboarding:stuck");
  auto* stuck = new QGridLayout(stuckRow_);
  stuck->addWidget(new QLabel("\u21BB", stuckRow_), 0, 0, Qt::AlignTop);  // the clockwise arrow
  auto* stuckTitle = new QLabel(text(Onboarding::stuckTitle), stuckRow_);
  QFont bold = stuckTitle->font();
  bold.setBold(true);
  stuckTitle->setFont(bold);
  stuck->addWidget(stuckTitle, 0, 1);
  auto* stuckText = new QLabel(text(Onboarding::stuckText), stuckRow_);
  stuckText->setWordWrap(true);
  stuck->addWidget(stuckText, 1, 1);
  auto* stuckButtons = new QHBoxLayout();
  stuckButtons->addWidget(
      button(Onboarding::clearAndReopenTitle, stuckRow_, [this] { onboarding_.clearAndReopen(); }));
  stuckButtons->addWidget(button(Onboarding::openSettingsTitle, stuckRow_,
                                 [this] { onboarding_.openSystemSettings(); }));
  stuckButtons->addStretch();
  stuck->addLayout(stuckButtons, 2, 1);
  stuck->setColumnStretch(1, 1);
  layout->addWidget(stuckRow_);

  auto* footer = new QHBoxLayout();
  footer->addStretch();
  footer->addWidget(button(Onboarding::skipTitle, this, [this] { finish(); }));
  continue_ = button(Onboarding::continueTitle, this, [this] { finish(); });
  continue_->setDefault(true);
  footer->addWidget(continue_);
  layout->addLayout(footer);
  redraw();
}

void OnboardingView::redraw() {
  const auto rows = onboarding_.rows();
  for (std::size_t i = 0; i < rows.size() && i < rows_.size(); ++i) {
    rows_[i]->setRow(rows[i]);
  }
  stuckRow_->setVisible(onboarding_.stuck());
  continue_->setEnabled(onboarding_.canContinue());
}

void OnboardingView::closeEvent(QCloseEvent* event) {
  if (closed) {
    closed();
  }
  event->accept();
}

void OnboardingView::mousePressEvent(QMouseEvent* event) {
  dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
  QWidget::mousePressEvent(event);
}

void OnboardingView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) {
    move(event->globalPosition().toPoint() - dragOffset_);
  }
  QWidget::mouseMoveEvent(event);
}

}  // namespace quayline
