#include "features/power/PowerPresenter.h"
#include "metrics/OutsideText.h"

#include "texts/Localized.h"
#include "texts/PowerText.h"

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {
const QString kDash = QStringLiteral("—");

QString withUnit(const std::optional<double>& value, const ValueFormatter& format, int digits,
                 const char* unit) {
  return value ? format.number(*value, digits) + QLatin1String(unit) : kDash;
}
}  // namespace

QString PowerPresenter::chargeText(const PowerSample& power, const ValueFormatter& format) {
  return power.charge ? format.percent(*power.charge, 0) : kDash;
}

std::optional<double> PowerPresenter::meterFraction(const PowerSample& power) {
  if (!power.charge || !std::isfinite(*power.charge)) return std::nullopt;
  return std::clamp(*power.charge / 100.0, 0.0, 1.0);
}

bool PowerPresenter::meterDanger(const PowerSample& power) {
  return power.charge && *power.charge < kLowCharge;
}

std::optional<QString> PowerPresenter::lowPowerText(const PowerSample& power) {
  if (!power.lowPowerMode) return std::nullopt;
  return *power.lowPowerMode ? tr("On") : tr("Off");
}

QString PowerPresenter::lowPowerReason() {
  return tr("This computer has neither power-profiles-daemon nor a firmware power profile.");
}

std::vector<PowerPresenter::Row> PowerPresenter::batteryRows(const PowerSample& power,
                                                             const ValueFormatter& format) {
  std::vector<Row> rows;
  rows.push_back({tr("Power source"), PowerText::source(power.source), std::nullopt});
  if (power.minutesToEmpty) {
    rows.push_back({tr("Time remaining"), format.duration(static_cast<double>(*power.minutesToEmpty) * 60),
                    MetricQuality::estimated});
  }
  if (power.minutesToFull) {
    rows.push_back({tr("Time until full"), format.duration(static_cast<double>(*power.minutesToFull) * 60),
                    MetricQuality::estimated});
  }
  if (!power.minutesToEmpty && !power.minutesToFull && !power.isCharged) {
    rows.push_back({tr("Time remaining"), tr("Calculating…"), MetricQuality::estimated});
  }
  if (const auto lowPower = lowPowerText(power))
    rows.push_back({tr("Low Power Mode"), *lowPower, std::nullopt});
  if (power.adapterWatts) {
    QString adapter = QString::number(*power.adapterWatts) + QStringLiteral(" W");
    if (power.adapterName) adapter += QStringLiteral(" · ") + *power.adapterName;
    rows.push_back({tr("Adapter"), adapter, std::nullopt});
  }
  return rows;
}

std::vector<PowerPresenter::Row> PowerPresenter::healthRows(const PowerSample& power,
                                                            const ValueFormatter& format) {
  std::vector<Row> rows;
  if (power.health)
    rows.push_back({tr("Condition reported by the battery driver"), translated(*power.health), std::nullopt});
  const auto integer = [](const std::optional<std::int64_t>& value, const char* unit) {
    return value ? QString::number(*value) + QLatin1String(unit) : kDash;
  };
  rows.push_back({tr("Cycle count"), integer(power.cycleCount, ""), MetricQuality::bestEffort});
  rows.push_back({tr("Full-charge capacity"), integer(power.maxCapacity, " mAh"), MetricQuality::bestEffort});
  rows.push_back({tr("Design capacity"), integer(power.designCapacity, " mAh"), MetricQuality::bestEffort});
  QString ratio = kDash;
  if (power.maxCapacity && power.designCapacity && *power.designCapacity >= 1) {
    ratio = format.percent(
        static_cast<double>(*power.maxCapacity) / static_cast<double>(*power.designCapacity) * 100.0, 1);
  }
  rows.push_back({tr("Capacity relative to design"), ratio, MetricQuality::bestEffort});
  return rows;
}

std::vector<PowerPresenter::Row> PowerPresenter::flowRows(const PowerSample& power,
                                                          const ValueFormatter& format) {
  std::optional<double> flow;
  if (power.voltage && power.amperage) flow = *power.voltage * *power.amperage;
  return {
      {tr("Battery flow"), withUnit(flow, format, 1, " W"), MetricQuality::bestEffort},
      {tr("Voltage"), withUnit(power.voltage, format, 2, " V"), MetricQuality::bestEffort},
      {tr("Current"), withUnit(power.amperage, format, 2, " A"), MetricQuality::bestEffort},
      {tr("System load (battery gauge)"), withUnit(power.systemWatts, format, 1, " W"),
       MetricQuality::bestEffort},
  };
}

std::vector<PowerPresenter::EnergyRow> PowerPresenter::energyRows(const ProcessSample* sample,
                                                                  const ValueFormatter& format) {
  std::vector<const ProcessRecord*> kept;
  if (sample) {
    for (const ProcessRecord& record : sample->processes) {
      if (record.power && *record.power > 0.01) kept.push_back(&record);
    }
  }
  std::stable_sort(kept.begin(), kept.end(),
                   [](const ProcessRecord* a, const ProcessRecord* b) { return *a->power > *b->power; });
  std::vector<EnergyRow> rows;
  for (std::size_t i = 0; i < kept.size() && i < kEnergyRows; ++i) {
    rows.push_back({kept[i]->pid, OutsideText::visible(kept[i]->name),
                    format.number(*kept[i]->power, 2) + QStringLiteral(" W")});
  }
  return rows;
}

}  // namespace kivo
