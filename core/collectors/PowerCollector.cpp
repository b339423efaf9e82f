#include "collectors/PowerCollector.h"

#include "platform/PowerProfiles.h"

#include <cmath>
#include <cstdlib>

namespace kivo {

namespace {

constexpr double kMega = 1e6;
// Beyond this an estimate only says that the rate is near zero.
constexpr double kLongestEstimateMinutes = 100.0 * 60.0;

bool statusIs(const PowerSupply& s, std::string_view status) {
  return s.status == status;
}

bool isUsbFamily(std::string_view type) {
  return type.substr(0, 3) == "USB" || type == "BrickID" || type == "Wireless";
}

std::optional<double> positive(const std::optional<std::int64_t>& value, double divisor) {
  if (!value || *value <= 0) return std::nullopt;
  return static_cast<double>(*value) / divisor;
}

// Volts used to turn a charge (µAh) into an energy: the present voltage keeps the ratio
// with a current-derived rate exact.
std::optional<double> conversionVolts(const PowerSupply& b) {
  if (auto v = positive(b.voltageNow, kMega)) return v;
  return positive(b.voltageMinDesign, kMega);
}

std::optional<double> energyNowWh(const PowerSupply& b) {
  if (b.energyNow && *b.energyNow >= 0) return static_cast<double>(*b.energyNow) / kMega;
  const auto volts = conversionVolts(b);
  if (b.chargeNow && *b.chargeNow >= 0 && volts) return static_cast<double>(*b.chargeNow) / kMega * *volts;
  return std::nullopt;
}

std::optional<double> energyFullWh(const PowerSupply& b) {
  if (auto e = positive(b.energyFull, kMega)) return e;
  const auto volts = conversionVolts(b);
  const auto charge = positive(b.chargeFull, kMega);
  if (charge && volts) return *charge * *volts;
  return std::nullopt;
}

// Unsigned rate of energy flow in watts.
std::optional<double> rateWatts(const PowerSupply& b) {
  if (b.powerNow && *b.powerNow >= 0) return static_cast<double>(*b.powerNow) / kMega;
  const auto volts = positive(b.voltageNow, kMega);
  if (b.currentNow && volts) return std::fabs(static_cast<double>(*b.currentNow)) / kMega * *volts;
  return std::nullopt;
}

std::optional<std::int64_t> wholeMinutes(double minutes) {
  if (!std::isfinite(minutes) || minutes > kLongestEstimateMinutes) return std::nullopt;
  const auto rounded = static_cast<std::int64_t>(std::llround(minutes));
  if (rounded < 1) return std::nullopt;
  return rounded;
}

std::optional<std::int64_t> publishedMinutes(const std::optional<std::int64_t>& seconds) {
  if (!seconds || *seconds <= 0) return std::nullopt;
  return wholeMinutes(static_cast<double>(*seconds) / 60.0);
}

// µAh (or µWh with the design voltage) to whole mAh.
std::optional<std::int64_t> milliampHours(const std::optional<std::int64_t>& charge,
                                          const std::optional<std::int64_t>& energy,
                                          const std::optional<std::int64_t>& designVolts) {
  if (charge && *charge > 0)
    return static_cast<std::int64_t>(std::llround(static_cast<double>(*charge) / 1000.0));
  if (energy && *energy > 0 && designVolts && *designVolts > 0) {
    // µWh / µV = Ah.
    return static_cast<std::int64_t>(
        std::llround(static_cast<double>(*energy) / static_cast<double>(*designVolts) * 1000.0));
  }
  return std::nullopt;
}

}  // namespace

namespace PowerMath {

bool isComputerBattery(const PowerSupply& supply) {
  if (supply.type != "Battery") return false;
  if (supply.scope == "Device") return false;
  if (supply.present && *supply.present == 0) return false;
  return true;
}

bool isExternalSupply(const PowerSupply& supply) {
  if (supply.scope == "Device") return false;
  return supply.type == "Mains" || isUsbFamily(supply.type);
}

PowerSourceKind source(std::span<const PowerSupply> supplies) {
  bool externalOnline = false;
  bool discharging = false;
  bool externallyHeld = false;
  bool ups = false;
  for (const auto& s : supplies) {
    if (isExternalSupply(s) && s.online && *s.online > 0) externalOnline = true;
    if (s.type == "UPS" && s.scope != "Device") ups = true;
    if (isComputerBattery(s)) {
      if (statusIs(s, "Discharging")) discharging = true;
      if (statusIs(s, "Charging") || statusIs(s, "Full") || statusIs(s, "Not charging"))
        externallyHeld = true;
    }
  }
  if (externalOnline) return PowerSourceKind::ac;
  if (discharging) return PowerSourceKind::battery;
  if (ups) return PowerSourceKind::ups;
  if (externallyHeld) return PowerSourceKind::ac;
  return PowerSourceKind::unknown;
}

std::optional<double> charge(std::span<const PowerSupply* const> batteries) {
  if (batteries.empty()) return std::nullopt;
  if (batteries.size() > 1) {
    double now = 0, full = 0;
    bool all = true;
    for (const auto* b : batteries) all = all && b->energyNow && b->energyFull && *b->energyFull > 0;
    if (all) {
      for (const auto* b : batteries) {
        now += static_cast<double>(*b->energyNow);
        full += static_cast<double>(*b->energyFull);
      }
      return now / full * 100.0;
    }
    all = true;
    for (const auto* b : batteries) all = all && b->chargeNow && b->chargeFull && *b->chargeFull > 0;
    if (all) {
      for (const auto* b : batteries) {
        now += static_cast<double>(*b->chargeNow);
        full += static_cast<double>(*b->chargeFull);
      }
      return now / full * 100.0;
    }
  }
  std::optional<double> result;
  for (const auto* b : batteries) {
    if (b->capacity && *b->capacity >= 0) {
      result = static_cast<double>(*b->capacity);
    } else if (b->energyNow && b->energyFull && *b->energyFull > 0) {
      result = static_cast<double>(*b->energyNow) / static_cast<double>(*b->energyFull) * 100.0;
    } else if (b->chargeNow && b->chargeFull && *b->chargeFull > 0) {
      result = static_cast<double>(*b->chargeNow) / static_cast<double>(*b->chargeFull) * 100.0;
    }
  }
  return result;
}

std::optional<double> amperage(const PowerSupply& b) {
  const bool discharging = statusIs(b, "Discharging");
  const bool charging = statusIs(b, "Charging");
  if (b.currentNow) {
    const double amps = static_cast<double>(*b.currentNow) / kMega;
    if (discharging) return -std::fabs(amps);
    if (charging) return std::fabs(amps);
    return amps;
  }
  const auto volts = positive(b.voltageNow, kMega);
  if (b.powerNow && volts) {
    const double amps = std::fabs(static_cast<double>(*b.powerNow)) / kMega / *volts;
    if (discharging) return -amps;
    if (charging || amps == 0.0) return amps;
  }
  return std::nullopt;
}

TimeEstimate minutesRemaining(std::span<const PowerSupply* const> batteries) {
  TimeEstimate estimate;
  bool anyCharging = false;
  bool anyDischarging = false;
  for (const auto* b : batteries) {
    anyCharging = anyCharging || statusIs(*b, "Charging");
    anyDischarging = anyDischarging || statusIs(*b, "Discharging");
  }
  const bool toEmpty = anyDischarging && !anyCharging;
  if (!toEmpty && !anyCharging) return estimate;

  // A single battery's own estimate is the best there is.
  if (batteries.size() == 1) {
    const auto* b = batteries.front();
    if (toEmpty)
      estimate.toEmpty = publishedMinutes(b->timeToEmptyNow);
    else
      estimate.toFull = publishedMinutes(b->timeToFullNow);
    if (estimate.toEmpty || estimate.toFull) return estimate;
  }

  double remainingWh = 0;
  double rate = 0;
  for (const auto* b : batteries) {
    const auto now = energyNowWh(*b);
    if (!now) return estimate;
    if (toEmpty) {
      remainingWh += *now;
    } else {
      const auto full = energyFullWh(*b);
      if (!full) return estimate;
      remainingWh += std::max(0.0, *full - *now);
    }
    const bool moving = toEmpty ? statusIs(*b, "Discharging") : statusIs(*b, "Charging");
    if (moving) {
      const auto watts = rateWatts(*b);
      if (!watts) return estimate;
      rate += *watts;
    }
  }
  if (rate <= 0) return estimate;
  const auto minutes = wholeMinutes(remainingWh / rate * 60.0);
  if (toEmpty)
    estimate.toEmpty = minutes;
  else
    estimate.toFull = minutes;
  return estimate;
}

BatteryFields batteryFields(const PowerSupply& b, bool computerOnBattery) {
  BatteryFields f;
  if (b.temp && *b.temp != 0) {
    const double celsius = static_cast<double>(*b.temp) / 10.0;
    if (celsius >= -40.0 && celsius <= 150.0) f.celsius = celsius;
  }
  if (b.cycleCount && *b.cycleCount >= 0) f.cycles = b.cycleCount;
  f.design = milliampHours(b.chargeFullDesign, b.energyFullDesign, b.voltageMinDesign);
  f.maximum = milliampHours(b.chargeFull, b.energyFull, b.voltageMinDesign);
  f.volts = positive(b.voltageNow, kMega);
  f.amps = amperage(b);
  if (computerOnBattery && statusIs(b, "Discharging")) f.systemWatts = rateWatts(b);
  return f;
}

std::optional<bool> lowPowerMode(const std::optional<QString>& daemonProfile,
                                 const std::optional<std::string>& platformProfile) {
  if (daemonProfile) return *daemonProfile == QLatin1String("power-saver");
  if (platformProfile) return *platformProfile == "low-power";
  return std::nullopt;
}

}  // namespace PowerMath

namespace PowerCollector {

PowerSample fromSupplies(std::span<const PowerSupply> supplies, bool includeBestEffort,
                         std::optional<bool> lowPowerMode) {
  std::vector<const PowerSupply*> batteries;
  for (const auto& s : supplies) {
    if (PowerMath::isComputerBattery(s)) batteries.push_back(&s);
  }
  PowerSample sample;
  sample.lowPowerMode = lowPowerMode;
  sample.source = PowerMath::source(supplies);
  sample.hasBattery = !batteries.empty();

  if (sample.hasBattery) {
    sample.charge = PowerMath::charge(batteries);
    bool allFull = true;
    for (const auto* b : batteries) {
      sample.isCharging = sample.isCharging || statusIs(*b, "Charging");
      allFull = allFull && statusIs(*b, "Full");
      if (b->health && *b->health != "Unknown") sample.health = QString::fromStdString(*b->health);
    }
    sample.isCharged = allFull;
    const auto times = PowerMath::minutesRemaining(batteries);
    sample.minutesToEmpty = times.toEmpty;
    sample.minutesToFull = times.toFull;
  }

  for (const auto& s : supplies) {
    if (!PowerMath::isExternalSupply(s) || !s.online || *s.online <= 0) continue;
    const auto volts = positive(s.voltageMax, kMega);
    const auto amps = positive(s.currentMax, kMega);
    if (volts && amps) sample.adapterWatts = std::llround(*volts * *amps);
    if (s.modelName) sample.adapterName = QString::fromStdString(*s.modelName);
    break;
  }

  if (includeBestEffort && sample.hasBattery) {
    const bool onBattery = sample.source == PowerSourceKind::battery;
    const auto fields = PowerMath::batteryFields(*batteries.front(), onBattery);
    sample.cycleCount = fields.cycles;
    sample.designCapacity = fields.design;
    sample.maxCapacity = fields.maximum;
    sample.voltage = fields.volts;
    sample.amperage = fields.amps;
    sample.temperature = fields.celsius;
    // Every discharging battery feeds the computer.
    std::optional<double> draw;
    for (const auto* b : batteries) {
      if (const auto watts = PowerMath::batteryFields(*b, onBattery).systemWatts)
        draw = draw.value_or(0.0) + *watts;
    }
    sample.systemWatts = draw;
  }
  return sample;
}

PowerSample sample(bool includeBestEffort, const KernelFiles& files, PowerProfileSource* profiles) {
  const auto supplies = PowerSupplies::read(files);
  std::optional<QString> daemonProfile;
  if (profiles) daemonProfile = profiles->activeProfile();
  std::optional<std::string> platformProfile;
  if (!daemonProfile) platformProfile = files.readLine("/sys/firmware/acpi/platform_profile");
  return fromSupplies(supplies, includeBestEffort, PowerMath::lowPowerMode(daemonProfile, platformProfile));
}

PowerSample sample(bool includeBestEffort) {
  static const KernelFiles files("/");
  const auto profiles = DBusPowerProfiles::system();
  return sample(includeBestEffort, files, profiles.get());
}

}  // namespace PowerCollector

}  // namespace kivo
