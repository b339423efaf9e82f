#pragma once

#include <QScrollArea>

class QBoxLayout;
class QCheckBox;
class QFormLayout;
class QGroupBox;
class QLabel;

namespace kivo {

// A pane of the settings window: a grouped form, one framed section after another, scrolling
// when the window is shorter than the pane. Labels are the platform's own fonts; notes are the
// caption size in the secondary text colour.
class SettingsForm : public QScrollArea {
  Q_OBJECT

 public:
  explicit SettingsForm(QWidget* parent = nullptr);

 protected:
  // A new section with its header; rows go into the returned layout.
  QFormLayout* addSection(const QString& title, QGroupBox** box = nullptr);
  QCheckBox* addToggle(QFormLayout* section, const QString& text, const QString& name);
  QLabel* addNote(QFormLayout* section, const QString& text);
  // A value shown as plain text beside its label; the value label is returned.
  QLabel* addValue(QFormLayout* section, const QString& label, const QString& name);
  // Ends the pane: what is left of the height stays below the sections.
  void finish();

  QBoxLayout* content() const { return content_; }

 private:
  QBoxLayout* content_ = nullptr;
};

}  // namespace kivo
