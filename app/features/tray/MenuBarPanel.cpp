#include "features/tray/MenuBarPanel.h"

#include "design/Accessibility.h"
#include "design/BareLayout.h"
#include "design/ChartColor.h"
#include "design/ElidedLabel.h"
#include "design/Environment.h"
#include "design/Hairline.h"
#include "design/Icons.h"
#include "design/MetricFamily.h"
#include "design/SeverityLook.h"
#include "design/Sparkline.h"
#include "design/ThermalScale.h"
#include "design/Tokens.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kivo {

namespace {

constexpr MetricFamily kTileFamilies[] = {MetricFamily::cpu, MetricFamily::memory, MetricFamily::network,
                                          MetricFamily::disk};

// The tile's line: 90 wide as designed, but it gives up width (down to 48) before a long
// value text is cut, since our fonts run wider than the design's.
Sparkline* tileSparkline(MetricFamily family, QWidget* parent) {
  auto* line = new Sparkline(parent);
  line->setColor(ChartColor::of(family));
  line->setFilled(true);
  line->setFixedHeight(24);
  line->setMinimumWidth(48);
  line->setMaximumWidth(90);
  line->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  return line;
}

// The light-red rounded ground behind the firing alerts.
class AlertsBox : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QColor fill = Palette::danger.resolve(this);
    fill.setAlphaF(0.1f);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()), 8, 8);
  }
};

QLabel* plainLabel(QWidget* parent, const QFont& font, const QString& text = QString()) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setFont(font);
  return label;
}

void setTextColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  if (palette.color(QPalette::WindowText) == color && palette.color(QPalette::ButtonText) == color) return;
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::ButtonText, color);
  palette.setColor(QPalette::Text, color);
  widget->setPalette(palette);
}

void setIcon(QLabel* label, const QString& symbol, int size, const QColor& tint) {
  label->setPixmap(Icons::pixmap(symbol, size, tint, label->devicePixelRatioF()));
}

QToolButton* borderless(QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setAutoRaise(true);
  button->setIconSize(QSize(16, 16));
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}

}  // namespace

MenuBarPanel::MenuBarPanel(MonitorModel& model, MenuBarActions actions, QWidget* parent)
    : QWidget(parent), model_(model), actions_(std::move(actions)) {
  setObjectName(QStringLiteral("menubar.panel"));
  // Shown as a popup of its own: a window to screen readers, not a filler, named as its heading.
  Accessibility::setRole(this, QAccessible::Window);
  setAccessibleName(tr("KIVO Monitor"));
  build();
  auto changed = [this] {
    if (isVisible()) refresh();
  };
  // A tick announces the snapshot, processes and alerts before the live series, with the state
  // already whole: the last of them is the one to read it on.
  connect(&model_, &MonitorModel::liveChanged, this, changed);
  connect(&model_, &MonitorModel::pausedChanged, this, changed);
  refresh();
}

void MenuBarPanel::build() {
  setFixedWidth(kWidth);
  auto* column = new QVBoxLayout(this);
  column->setSpacing(12);
  column->setContentsMargins(16, 16, 16, 16);

  // Header: name, thermal state, pause.
  auto* header = new QHBoxLayout;
  header->addWidget(plainLabel(this, Typeface::system(13, QFont::Bold), tr("KIVO Monitor")));
  header->addStretch(1);
  thermal_ = plainLabel(this, Typeface::caption());
  thermal_->setObjectName(QStringLiteral("menubar.thermal"));
  thermal_->setToolTip(tr("Thermal state"));
  header->addWidget(thermal_);
  pause_ = borderless(this);
  pause_->setObjectName(QStringLiteral("menubar.pause"));
  connect(pause_, &QToolButton::clicked, this, [this] {
    if (actions_.togglePause) {
      actions_.togglePause();
    } else {
      model_.setPaused(!model_.isPaused());
    }
  });
  header->addWidget(pause_);
  column->addLayout(header);

  // Firing alerts, one row per rule.
  alertsBox_ = new AlertsBox(this);
  alertsBox_->setObjectName(QStringLiteral("menubar.alerts"));
  alertsLayout_ = new QVBoxLayout(alertsBox_);
  alertsLayout_->setSpacing(4);
  alertsLayout_->setContentsMargins(8, 8, 8, 8);
  column->addWidget(alertsBox_);

  // Four tiles.
  static const char* const kTileNames[] = {"menubar.tile.cpu", "menubar.tile.memory", "menubar.tile.network",
                                           "menubar.tile.disk"};
  for (std::size_t i = 0; i < tiles_.size(); ++i) {
    TileView& tile = tiles_[i];
    tile.row = new QWidget(this);
    tile.row->setObjectName(QLatin1String(kTileNames[i]));
    auto* row = bareRow(tile.row, 12);
    tile.icon = new QLabel(tile.row);
    Accessibility::hideDecoration(tile.icon);
    tile.icon->setFixedWidth(18);
    tile.icon->setAlignment(Qt::AlignCenter);
    row->addWidget(tile.icon);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(0);
    tile.title = plainLabel(tile.row, Typeface::label());
    tile.value = plainLabel(tile.row, Typeface::value());
    tile.value->setObjectName(QStringLiteral("value"));
    texts->addWidget(tile.title);
    texts->addWidget(tile.value);
    row->addLayout(texts);
    row->addStretch(1);
    tile.sparkline = tileSparkline(kTileFamilies[i], tile.row);
    row->addWidget(tile.sparkline);
    column->addWidget(tile.row);
  }

  // Battery.
  battery_ = new QWidget(this);
  battery_->setObjectName(QStringLiteral("menubar.battery"));
  auto* batteryRow = bareRow(battery_);
  batteryIcon_ = new QLabel(battery_);
  batteryState_ = plainLabel(battery_, Typeface::system(12));
  batteryCharge_ = plainLabel(battery_, Typeface::value());
  batteryRow->addWidget(batteryIcon_);
  batteryRow->addWidget(batteryState_);
  batteryRow->addStretch(1);
  batteryRow->addWidget(batteryCharge_);
  column->addWidget(battery_);

  dividers_[0] = new Hairline(Qt::Horizontal, this);
  column->addWidget(dividers_[0]);
  heading_ = plainLabel(this, Typeface::label(), tr("Top processes"));
  column->addWidget(heading_);

  // A fixed pool of rows, filled in order: the list is short and nothing in it takes focus.
  for (std::size_t i = 0; i < processes_.size(); ++i) {
    ProcessView& view = processes_[i];
    view.row = new QWidget(this);
    view.row->setObjectName(QStringLiteral("menubar.process.%1").arg(i));
    auto* row = bareRow(view.row);
    view.name = plainLabel(view.row, Typeface::system(12));
    view.name->setObjectName(QStringLiteral("name"));
    view.name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    view.cpu = plainLabel(view.row, Typeface::value());
    view.cpu->setObjectName(QStringLiteral("cpu"));
    view.cpu->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(view.name, 1);
    row->addWidget(view.cpu);
    column->addWidget(view.row);
  }

  dividers_[1] = new Hairline(Qt::Horizontal, this);
  column->addWidget(dividers_[1]);

  // Footer.
  auto* footer = new QHBoxLayout;
  open_ = new QPushButton(tr("Open KIVO Monitor"), this);
  open_->setObjectName(QStringLiteral("menubar.open"));
  open_->setDefault(true);
  open_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(open_, &QPushButton::clicked, this, [this] { act(actions_.openMain); });
  footer->addWidget(open_);
  footer->addStretch(1);
  settings_ = borderless(this);
  settings_->setObjectName(QStringLiteral("menubar.settings"));
  settings_->setToolTip(tr("Settings"));
  settings_->setAccessibleName(tr("Settings"));
  connect(settings_, &QToolButton::clicked, this, [this] { act(actions_.openSettings); });
  footer->addWidget(settings_);
  quit_ = borderless(this);
  quit_->setObjectName(QStringLiteral("menubar.quit"));
  quit_->setToolTip(tr("Quit KIVO Monitor"));
  quit_->setAccessibleName(tr("Quit KIVO Monitor"));
  connect(quit_, &QToolButton::clicked, this, [this] { act(actions_.quit); });
  footer->addWidget(quit_);
  column->addLayout(footer);
}

void MenuBarPanel::act(const std::function<void()>& action) {
  emit actionTriggered();
  if (action) action();
}

void MenuBarPanel::refresh() {
  ++refreshes_;
  state_ = MenuBarPanelPresenter::state(model_);
  apply();
}

void MenuBarPanel::apply() {
  const QString dash = QStringLiteral("\u2014");

  thermal_->setVisible(state_.thermal.has_value());
  if (state_.thermal) thermal_->setText(state_.thermal->text);

  pause_->setToolTip(state_.paused ? tr("Resume sampling") : tr("Pause sampling"));
  pause_->setAccessibleName(state_.paused ? tr("Resume Sampling") : tr("Pause Sampling"));

  // Alert rows keyed by rule: rows of rules that stopped firing go, new ones are added, and
  // the layout follows the model's order.
  for (auto it = alertRows_.begin(); it != alertRows_.end();) {
    const bool firing = std::any_of(state_.alerts.begin(), state_.alerts.end(),
                                    [&](const MenuBarPanelState::Alert& a) { return a.id == it->first; });
    if (firing) {
      ++it;
    } else {
      it->second.row->hide();
      it->second.row->deleteLater();
      it = alertRows_.erase(it);
    }
  }
  for (std::size_t i = 0; i < state_.alerts.size(); ++i) {
    const MenuBarPanelState::Alert& alert = state_.alerts[i];
    AlertView& view = alertRows_[alert.id];
    if (!view.row) {
      view.row = new QWidget(alertsBox_);
      view.row->setObjectName(QStringLiteral("menubar.alert"));
      auto* row = bareRow(view.row, 6);
      view.icon = new QLabel(view.row);
      Accessibility::hideDecoration(view.icon);
      view.title = plainLabel(view.row, Typeface::system(12, QFont::Medium));
      row->addWidget(view.icon);
      row->addWidget(view.title, 1);
    }
    view.severity = alert.severity;
    view.title->setText(alert.title);
    alertsLayout_->removeWidget(view.row);
    alertsLayout_->insertWidget(static_cast<int>(i), view.row);
  }
  alertsBox_->setVisible(!state_.alerts.empty());

  for (std::size_t i = 0; i < tiles_.size(); ++i) {
    const MenuBarPanelState::Tile& tile = state_.tiles[i];
    TileView& view = tiles_[i];
    view.title->setText(tile.title);
    view.value->setText(tile.value.value_or(dash));
    view.row->setAccessibleName(tile.title + QStringLiteral(", ") + tile.value.value_or(dash));
    view.sparkline->setCeiling(tile.ceiling);
    if (view.sparkline->values() != tile.values) view.sparkline->setValues(tile.values);
  }

  battery_->setVisible(state_.battery.has_value());
  if (state_.battery) {
    batteryState_->setText(state_.battery->state);
    batteryCharge_->setText(state_.battery->charge);
    battery_->setAccessibleName(state_.battery->state + QStringLiteral(", ") + state_.battery->charge);
  }

  for (std::size_t i = 0; i < processes_.size(); ++i) {
    ProcessView& view = processes_[i];
    const bool shown = i < state_.processes.size();
    view.row->setVisible(shown);
    if (!shown) continue;
    const MenuBarPanelState::Process& process = state_.processes[i];
    view.fullName = process.name;
    view.cpu->setText(process.cpu);
    // Long names lose their middle, which keeps both the start and an extension or suffix.
    const int room = std::max(40, kWidth - 32 - view.cpu->sizeHint().width() - 12);
    view.name->setText(view.name->fontMetrics().elidedText(process.name, Qt::ElideMiddle, room));
    view.name->setToolTip(plainToolTip(process.name));
    view.row->setAccessibleName(process.name + QStringLiteral(", ") + process.cpu);
  }
  applyColors();
  // As a window of its own (popup or screenshot window) the height follows the rows shown.
  if (isWindow() && layout()) {
    layout()->activate();
    const int height = sizeHint().height();
    if (height != this->height()) resize(kWidth, height);
  }
}

void MenuBarPanel::applyColors() {
  const bool safe = Environment::colorBlindSafe(this);
  const QColor secondary = Palette::textSecondary.resolve(this);
  const QColor primary = Palette::textPrimary.resolve(this);

  if (state_.thermal) setTextColor(thermal_, ThermalScale::tone(state_.thermal->level).resolve(this));
  pause_->setIcon(
      Icons::icon(state_.paused ? QStringLiteral("play.fill") : QStringLiteral("pause.fill"), primary));
  for (auto& [id, view] : alertRows_) {
    const QColor color = SeverityLook::color(view.severity).resolve(this);
    setTextColor(view.title, color);
    setIcon(view.icon, SeverityLook::symbol(view.severity), 14, color);
  }
  for (std::size_t i = 0; i < tiles_.size(); ++i) {
    setIcon(tiles_[i].icon, MetricFamilies::symbol(kTileFamilies[i]), 16,
            MetricFamilies::color(kTileFamilies[i], safe).resolve(this));
    setTextColor(tiles_[i].title, secondary);
    setTextColor(tiles_[i].value, primary);
  }
  if (state_.battery) {
    setIcon(batteryIcon_,
            state_.battery->charging ? QStringLiteral("battery.100.bolt") : QStringLiteral("battery.75"), 16,
            primary);
  }
  setTextColor(heading_, secondary);
  settings_->setIcon(Icons::icon(QStringLiteral("gearshape"), secondary));
  quit_->setIcon(Icons::icon(QStringLiteral("power"), secondary));
}

void MenuBarPanel::showEvent(QShowEvent* event) {
  refresh();
  QWidget::showEvent(event);
}

void MenuBarPanel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) applyColors();
  QWidget::changeEvent(event);
}

bool MenuBarPanel::event(QEvent* event) {
  if (event->type() == Environment::changedEventType()) applyColors();
  return QWidget::event(event);
}

void MenuBarPanel::followSettings(QWidget* root, const AppSettings& settings) {
  auto apply = [root, &settings] {
    Environment::apply(root, Environment::densityValue(settings.density()), settings.colorBlindSafe());
  };
  apply();
  connect(&settings, &AppSettings::densityChanged, root, apply);
  connect(&settings, &AppSettings::colorBlindSafeChanged, root, apply);
}

}  // namespace kivo
