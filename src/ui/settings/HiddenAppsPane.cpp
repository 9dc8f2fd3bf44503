#include "ui/settings/HiddenAppsPane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/HiddenApps.h"

namespace quayline {

HiddenAppsPane::HiddenAppsPane(HiddenApps& hiddenApps)
    : SettingsPage(QStringLiteral("Hidden Apps")), hiddenApps_(hiddenApps) {
  section_ =
      std::make_unique<SettingsSection>(sections(), QStringLiteral("Hidden Apps"), "hiddenApps");
  auto* list = new QWidget;
  rows_ = new QVBoxLayout(list);
  rows_->setContentsMargins(0, 0, 0, 0);
  section_->addRow(QString(), list, "hiddenAppsList");
  section_->setFooter(QStringLiteral(
      "Running apps you hide from the dock are listed here so you can bring them back."));
  sections().addStretch();
  changed_ = hiddenApps_.observe([this](const std::vector<std::string>&) { refresh(); });
  refresh();
}

HiddenAppsPane::~HiddenAppsPane() = default;

void HiddenAppsPane::refresh() {
  while (QLayoutItem* item = rows_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  const std::vector<std::string> hidden = hiddenApps_.bundleIdentifiers();
  if (hidden.empty()) {
    auto* none = new QLabel(QStringLiteral("No apps are hidden."));
    none->setObjectName(QStringLiteral("noHiddenApps"));
    rows_->addWidget(none);
    return;
  }
  for (const std::string& bundleIdentifier : hidden) {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("hidden:") + QString::fromStdString(bundleIdentifier));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QString::fromStdString(hiddenApps_.displayName(bundleIdentifier))),
                      1);
    auto* show = new QPushButton(QStringLiteral("Show"));
    show->setObjectName(QStringLiteral("show"));
    layout->addWidget(show);
    // The list is rebuilt when it changes, so the row is gone by the time the click returns.
    connect(show, &QPushButton::clicked, this,
            [this, bundleIdentifier] { hiddenApps_.show(bundleIdentifier); });
    rows_->addWidget(row);
  }
}

}  // namespace quayline
