#include "features/settings/PrivacyPane.h"

#include "design/Accessibility.h"
#include "design/Icons.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace kivo {

namespace {

// A statement with its symbol, tinted like the text beside it.
class Statement : public QWidget {
 public:
  Statement(const QString& symbol, const QString& text, QWidget* parent) : QWidget(parent), symbol_(symbol) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(0, 2, 0, 2);
    line->setSpacing(10);
    icon_ = new QLabel(this);
    icon_->setFixedSize(18, 18);
    icon_->setAlignment(Qt::AlignTop);
    Accessibility::hideDecoration(icon_);
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPixelSize(12);
    label->setFont(font);
    line->addWidget(icon_, 0, Qt::AlignTop);
    line->addWidget(label, 1);
    tint();
  }

 protected:
  void changeEvent(QEvent* event) override {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) tint();
  }

 private:
  void tint() {
    icon_->setPixmap(Icons::pixmap(symbol_, 16, palette().color(QPalette::WindowText), devicePixelRatioF()));
  }

  QString symbol_;
  QLabel* icon_ = nullptr;
};

}  // namespace

PrivacyPane::PrivacyPane(AppSettings& settings, QWidget* parent) : SettingsForm(parent), settings_(settings) {
  QFormLayout* mask = addSection(tr("Privacy mask"));
  mask_ = addToggle(mask, tr("Hide addresses, host and user names"), QStringLiteral("settings.privacyMask"));
  addNote(mask,
          tr("For screenshots and screen sharing. Values are replaced by “•••” in the interface; nothing "
             "changes in what is stored."));

  QFormLayout* data = addSection(tr("What KIVO Monitor does with your data"));
  const struct {
    const char* symbol;
    const char* text;
  } statements[] = {
      {"internaldrive", "Everything is measured, stored and analysed on this computer."},
      {"person.crop.circle.badge.xmark", "No account, no analytics, no advertising, no update check."},
      {"network",
       "The only network traffic it ever creates is the latency test, to the host you type, when you "
       "press the button."},
      {"lock.shield",
       "It asks for no permission: notifications, if you want them, go through the desktop's "
       "notification service."},
      {"checkmark.shield", "It runs without administrator rights and installs no helper."},
  };
  for (const auto& statement : statements) {
    data->addRow(new Statement(QLatin1String(statement.symbol), tr(statement.text), data->parentWidget()));
  }
  finish();

  connect(mask_, &QCheckBox::clicked, this, [this](bool on) { settings_.setPrivacyMask(on); });
  connect(&settings_, &AppSettings::privacyMaskChanged, this, &PrivacyPane::fill);
  fill();
}

void PrivacyPane::fill() {
  const QSignalBlocker blocker(mask_);
  mask_->setChecked(settings_.privacyMask());
}

}  // namespace kivo
