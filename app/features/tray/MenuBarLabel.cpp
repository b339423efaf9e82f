#include "features/tray/MenuBarLabel.h"

#include "features/tray/MenuBarText.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/AlertText.h"
#include "texts/Localized.h"

namespace kivo {

namespace {

// The image's own mark for a missing figure (an en dash, narrower than the interface's "—").
const QString kMissing = QStringLiteral("\u2013");
constexpr int kGraphPoints = MenuBarRenderer::kBars;

std::optional<double> memoryPercent(const MonitorModel& model) {
  const auto& snapshot = model.snapshot();
  if (!snapshot || !snapshot->memory) return std::nullopt;
  return snapshot->memory->usedFraction() * 100;
}

}  // namespace

std::optional<MenuBarRenderer::Segment> MenuBarLabel::segment(MenuBarItem item) const {
  const ValueFormatter& format = model_.format();
  const bool graphs = settings_.menuBarGraphs();
  auto percent = [&](std::optional<double> value) { return value ? format.percent(*value, 0) : kMissing; };
  auto rate = [&](std::optional<double> value) { return value ? MenuBarText::shortRate(*value) : kMissing; };

  MenuBarRenderer::Segment segment;
  switch (item) {
    case MenuBarItem::cpu:
      segment.caption = QStringLiteral("CPU");
      segment.lines = {percent(model_.latest(MetricID::cpuTotal))};
      if (graphs) segment.graph = model_.values(MetricID::cpuTotal, kGraphPoints);
      segment.ceiling = 100;
      break;
    case MenuBarItem::memory:
      segment.caption = QStringLiteral("MEM");
      segment.lines = {percent(memoryPercent(model_))};
      break;
    case MenuBarItem::network:
      segment.lines = {QStringLiteral("\u2191 ") + rate(model_.latest(MetricID::netUp)),
                       QStringLiteral("\u2193 ") + rate(model_.latest(MetricID::netDown))};
      if (graphs) segment.graph = model_.values(MetricID::netDown, kGraphPoints);
      break;
    case MenuBarItem::disk:
      segment.lines = {QStringLiteral("R ") + rate(model_.latest(MetricID::diskRead)),
                       QStringLiteral("W ") + rate(model_.latest(MetricID::diskWrite))};
      break;
    case MenuBarItem::battery: {
      const auto& snapshot = model_.snapshot();
      if (!snapshot || !snapshot->power.hasBattery || !snapshot->power.charge) return std::nullopt;
      segment.caption = snapshot->power.isCharging ? QStringLiteral("CHG") : QStringLiteral("BAT");
      segment.lines = {format.percent(*snapshot->power.charge, 0)};
      break;
    }
  }
  return segment;
}

std::vector<MenuBarRenderer::Segment> MenuBarLabel::segments(const std::vector<MenuBarItem>& items) const {
  std::vector<MenuBarRenderer::Segment> result;
  result.reserve(items.size());
  for (MenuBarItem item : items) {
    if (auto s = segment(item)) result.push_back(std::move(*s));
  }
  return result;
}

std::vector<MenuBarRenderer::Segment> MenuBarLabel::segments() const {
  return segments(settings_.menuBarItems());
}

bool MenuBarLabel::alert() const {
  return !model_.firing().empty();
}

QString MenuBarLabel::accessibilityText() const {
  const ValueFormatter& format = model_.format();
  QString text = QStringLiteral("KIVO Monitor");
  const QString separator = QStringLiteral(", ");
  if (auto cpu = model_.latest(MetricID::cpuTotal)) {
    text += separator + tr("CPU") + QLatin1Char(' ') + format.percent(*cpu, 0);
  }
  if (auto memory = memoryPercent(model_)) {
    text += separator + tr("Memory") + QLatin1Char(' ') + format.percent(*memory, 0);
  }
  if (!model_.firing().empty()) {
    text += separator + AlertText::activeCount(static_cast<qint64>(model_.firing().size()));
  }
  return text;
}

QString MenuBarLabel::toolTip() const {
  QString text = QStringLiteral("KIVO Monitor");
  for (MenuBarItem item : settings_.menuBarItems()) {
    const auto s = segment(item);
    if (!s) continue;
    text +=
        QLatin1Char('\n') + MenuBarText::title(item) + QLatin1Char(' ') + s->lines.join(QStringLiteral("  "));
  }
  if (!model_.firing().empty()) {
    text += QLatin1Char('\n') + AlertText::activeCount(static_cast<qint64>(model_.firing().size()));
  }
  return text;
}

}  // namespace kivo
