#include "features/settings/SettingsForm.h"

#include "design/Tokens.h"
#include "design/ToneLabel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kivo {

SettingsForm::SettingsForm(QWidget* parent) : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* body = new QWidget(this);
  content_ = new QVBoxLayout(body);
  content_->setContentsMargins(20, 16, 20, 16);
  content_->setSpacing(14);
  setWidget(body);
  // The window's colour behind the sections, in light and dark alike.
  viewport()->setBackgroundRole(QPalette::Window);
  body->setBackgroundRole(QPalette::Window);
}

QFormLayout* SettingsForm::addSection(const QString& title, QGroupBox** box) {
  auto* group = new QGroupBox(title, widget());
  auto* form = new QFormLayout(group);
  form->setRowWrapPolicy(QFormLayout::DontWrapRows);
  form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  form->setHorizontalSpacing(16);
  form->setVerticalSpacing(8);
  form->setContentsMargins(12, 10, 12, 12);
  content_->addWidget(group);
  if (box) *box = group;
  return form;
}

QCheckBox* SettingsForm::addToggle(QFormLayout* section, const QString& text, const QString& name) {
  auto* toggle = new QCheckBox(text, section->parentWidget());
  toggle->setObjectName(name);
  section->addRow(toggle);
  return toggle;
}

QLabel* SettingsForm::addNote(QFormLayout* section, const QString& text) {
  auto* note = new ToneLabel(text, Typeface::system(11), Palette::textSecondary, section->parentWidget());
  note->setWordWrap(true);
  section->addRow(note);
  return note;
}

QLabel* SettingsForm::addValue(QFormLayout* section, const QString& label, const QString& name) {
  auto* value = new QLabel(section->parentWidget());
  value->setObjectName(name);
  value->setTextFormat(Qt::PlainText);
  value->setTextInteractionFlags(Qt::TextSelectableByMouse);
  value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  section->addRow(label, value);
  return value;
}

void SettingsForm::finish() {
  content_->addStretch(1);
}

}  // namespace kivo
