#pragma once

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QScrollArea>
#include <QString>
#include <string_view>

#include "foundation/Enumeration.h"

class QVBoxLayout;

namespace quayline {

inline QString qstring(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One titled section of a grouped form: labelled rows, then an optional footer below the group.
class SettingsSection {
 public:
  SettingsSection(QVBoxLayout& pane, const QString& title, const QString& objectName);

  // Adds a row; the control is named after `objectName` and labelled for accessibility.
  void addRow(const QString& label, QWidget* control, const QString& objectName);
  void setRowVisible(QWidget* control, bool visible) { form_->setRowVisible(control, visible); }
  void setFooter(const QString& text);
  void setVisible(bool visible);
  QGroupBox* group() const { return group_; }

 private:
  QGroupBox* group_;
  QFormLayout* form_;
  QWidget* footer_ = nullptr;
  QVBoxLayout& pane_;
};

// A picker over an enumeration: each item shows its text and carries the case's raw value.
template <typename E>
QComboBox* enumerationPicker(std::initializer_list<std::pair<E, QString>> items) {
  auto* picker = new QComboBox;
  for (const auto& [value, text] : items) {
    picker->addItem(text, qstring(rawValue(value)));
  }
  return picker;
}

template <typename E>
void selectIn(QComboBox& picker, E value) {
  picker.setCurrentIndex(picker.findData(qstring(rawValue(value))));
}

template <typename E>
std::optional<E> chosenIn(const QComboBox& picker, int index) {
  return fromRawValue<E>(picker.itemData(index).toString().toStdString());
}

// The page of a pane: its title above its sections, scrolled when the window is short.
class SettingsPage : public QScrollArea {
 public:
  explicit SettingsPage(const QString& title);
  // Shows every value as it is stored now, without writing anything.
  virtual void refresh() {}

 protected:
  QVBoxLayout& sections() { return *sections_; }

 private:
  QVBoxLayout* sections_;
};

}  // namespace quayline
