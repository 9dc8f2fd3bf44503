#include "ui/settings/AboutPane.h"

#include <QLabel>
#include <QVBoxLayout>

#include "settings/AboutInfo.h"

namespace quayline {

AboutPane::AboutPane(const AboutInfo& about) : SettingsPage(QStringLiteral("About")) {
  SettingsSection section(sections(), QString(), "aboutSection");
  auto* name = new QLabel(QString::fromStdString(about.name));
  name->setTextInteractionFlags(Qt::TextSelectableByMouse);
  section.addRow(QStringLiteral("Name"), name, "name");
  auto* version = new QLabel(QString::fromStdString(about.version));
  version->setTextInteractionFlags(Qt::TextSelectableByMouse);
  section.addRow(QStringLiteral("Version"), version, "version");
  section.setFooter(QString::fromStdString(about.footer));
  sections().addStretch();
}

}  // namespace quayline
