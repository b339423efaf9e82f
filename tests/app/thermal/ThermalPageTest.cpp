#include "features/thermal/CapabilityText.h"
#include "features/thermal/ThermalPage.h"
#include "features/thermal/ThermalPresenter.h"

#include "PageShots.h"
#include "collectors/SensorCapabilityResolver.h"
#include "design/KeyValueRow.h"
#include "design/KeyedGrid.h"
#include "design/Readout.h"
#include "design/ThermalScale.h"
#include "design/UnavailableRow.h"

#include <gtest/gtest.h>

#include <QLineEdit>

namespace kivo {
namespace {

// The fixed table with canned probe answers: a laptop with a battery gauge and thermal zones.
std::vector<SensorCapability> table(bool thermalZones) {
  CapabilityProbes probes;
  probes.power = [] {
    PowerSample power(true, PowerSourceKind::battery, false, false, false);
    power.charge = 70;
    power.voltage = 11.9;
    return power;
  };
  probes.gpuStatistics = [] { return std::vector<GPUStatistics>{}; };
  probes.topology = [] { return CPUTopology{}; };
  probes.diskCount = [] { return std::size_t{1}; };
  probes.thermal = [thermalZones] {
    return thermalZones ? std::optional<ThermalLevel>(ThermalLevel::nominal) : std::nullopt;
  };
  probes.memoryPressure = [] { return true; };
  probes.wifi = [] { return std::optional<WiFiLink>{}; };
  probes.gpuDevices = [] { return std::vector<GPUDevice>{}; };
  return SensorCapabilityResolver::resolve(probes);
}

// The shared rig on that laptop.
struct ThermalRig : test::PageRig {
  explicit ThermalRig(bool thermalZones = true) : PageRig({}, {}, table(thermalZones)) {}
};

TEST(ThermalPresenter, LevelTextAndColourNeverGreenWithoutALevel) {
  const struct {
    std::optional<ThermalLevel> level;
    const char* text;
    DynamicColor color;
  } cases[] = {
      {ThermalLevel::nominal, "Nominal", Palette::success},
      {ThermalLevel::fair, "Fair", Palette::textPrimary},
      {ThermalLevel::serious, "Serious", Palette::warning},
      {ThermalLevel::critical, "Critical", Palette::danger},
      {std::nullopt, "—", Palette::textSecondary},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ThermalPresenter::levelText(c.level), QString::fromUtf8(c.text));
    EXPECT_EQ(ThermalPresenter::levelColor(c.level), c.color);
  }
}

TEST(ThermalPresenter, ChartValuesRoundHalfAwayFromZero) {
  const std::vector<std::pair<double, QString>> cases{{2.4, "Serious"},  {2.5, "Critical"}, {0.5, "Fair"},
                                                      {0.49, "Nominal"}, {7, "Nominal"},    {-0.4, "Nominal"},
                                                      {-3, "Nominal"},   {3, "Critical"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(ThermalPresenter::chartValueText(value), text) << value;
}

TEST(ThermalPresenter, BatteryTemperatureItem) {
  const ValueFormatter format;
  using K = ThermalPresenter::BatteryTemperature;
  EXPECT_EQ(ThermalPresenter::batteryItem(nullptr, format).kind, K::none);
  PowerSample desktop(false, PowerSourceKind::ac, false, false, false);
  EXPECT_EQ(ThermalPresenter::batteryItem(&desktop, format).kind, K::none);
  PowerSample laptop(true, PowerSourceKind::battery, false, false, false);
  EXPECT_EQ(ThermalPresenter::batteryItem(&laptop, format).kind, K::unavailable);
  laptop.temperature = 31.25;
  const auto item = ThermalPresenter::batteryItem(&laptop, format);
  EXPECT_EQ(item.kind, K::row);
  EXPECT_EQ(item.value, format.temperature(31.25));
}

TEST(ThermalPresenter, FilterMatchesNameOrCategoryIgnoringCase) {
  const auto capabilities = table(true);
  ASSERT_EQ(capabilities.size(), 30U);
  EXPECT_EQ(ThermalPresenter::filtered(capabilities, QString()).size(), 30U);
  const auto memory = ThermalPresenter::filtered(capabilities, QStringLiteral("MEMORY"));
  ASSERT_FALSE(memory.empty());
  for (const auto* capability : memory) {
    EXPECT_TRUE(capability->name.contains("memory", Qt::CaseInsensitive) ||
                capability->category.contains("memory", Qt::CaseInsensitive))
        << capability->id.toStdString();
  }
  // Kept in the table's order.
  for (std::size_t i = 1; i < memory.size(); ++i) EXPECT_LT(memory[i - 1], memory[i]);
  // Sources, ids and notes are not searched.
  EXPECT_TRUE(ThermalPresenter::filtered(capabilities, QStringLiteral("/proc")).empty());
  EXPECT_TRUE(ThermalPresenter::filtered(capabilities, QStringLiteral("cpu.load")).empty());
  // A category alone keeps a row whose name does not match.
  const auto thermal = ThermalPresenter::filtered(capabilities, QStringLiteral("thermal"));
  EXPECT_TRUE(std::any_of(thermal.begin(), thermal.end(), [](const SensorCapability* c) {
    return !c->name.contains("thermal", Qt::CaseInsensitive);
  }));
  // Used as typed: a single space keeps only texts with a space.
  for (const auto* capability : ThermalPresenter::filtered(capabilities, QStringLiteral(" "))) {
    EXPECT_TRUE(capability->name.contains(' ') || capability->category.contains(' '));
  }
}

TEST(CapabilityText, Names) {
  const std::vector<std::pair<CapabilityClass, QString>> cases{
      {CapabilityClass::publicAPI, "Kernel interface"},
      {CapabilityClass::userAuthorization, "Needs your permission"},
      {CapabilityClass::systemCommand, "System command"},
      {CapabilityClass::privilegedHelper, "Needs a privileged helper"},
      {CapabilityClass::unavailable, "Not exposed"},
      {CapabilityClass::estimated, "Estimate"},
      {CapabilityClass::bestEffort, "Best effort"}};
  for (const auto& [kind, text] : cases) EXPECT_EQ(CapabilityText::name(kind), text);
}

TelemetrySnapshot thermalSnapshot(double seconds, std::optional<ThermalLevel> level, bool battery = false) {
  std::vector<MetricValue> values;
  if (level) values.push_back({MetricID::thermalState, static_cast<double>(Thermal::rawValue(*level))});
  auto snapshot = test::snapshotAt(seconds, values);
  snapshot.thermal = level;
  snapshot.power =
      PowerSample(battery, battery ? PowerSourceKind::battery : PowerSourceKind::ac, false, false, false);
  return snapshot;
}

TEST(ThermalPage, WithoutThermalZonesSaysSoInsteadOfNominal) {
  ThermalRig rig(false);
  ThermalPage page(*rig.model);
  auto* level = page.findChild<Readout*>(QStringLiteral("thermal.level"));
  EXPECT_EQ(level->shownValue(), QStringLiteral("—"));
  rig.model->ingest(thermalSnapshot(0, std::nullopt));
  EXPECT_EQ(level->shownValue(), QStringLiteral("—"));
  // Nothing to caption: no claim of who assessed a level that does not exist.
  EXPECT_EQ(level->shownCaption(), QString());
  auto* state = page.findChild<QWidget*>(QStringLiteral("thermal.state"));
  EXPECT_FALSE(state->findChild<UnavailableRow*>()->isHidden());
  EXPECT_FALSE(page.findChild<QWidget*>(QStringLiteral("thermal.noChart"))->isHidden());
  EXPECT_FALSE(page.findChild<ThermalScale*>()->level().has_value());
  // A desktop without battery: no battery temperature item at all.
  auto* temperatures = page.findChild<QWidget*>(QStringLiteral("thermal.temperatures"));
  EXPECT_TRUE(temperatures->findChild<KeyValueRow*>()->isHidden());
  EXPECT_TRUE(temperatures->findChildren<UnavailableRow*>().first()->isHidden());
  EXPECT_EQ(temperatures->findChildren<UnavailableRow*>().size(), 4);

  rig.model->ingest(thermalSnapshot(2, ThermalLevel::serious, true));
  EXPECT_EQ(level->shownValue(), QStringLiteral("Serious"));
  // Linux has no overall state of its own: the caption says ours is estimated.
  EXPECT_EQ(level->shownCaption(), QStringLiteral("Estimated from thermal zones"));
  EXPECT_TRUE(state->findChild<UnavailableRow*>()->isHidden());
  EXPECT_TRUE(page.findChild<QWidget*>(QStringLiteral("thermal.noChart"))->isHidden());
  EXPECT_FALSE(temperatures->findChildren<UnavailableRow*>().first()->isHidden());
}

TEST(ThermalPage, FilterNarrowsTheGridAndClearingRestoresIt) {
  ThermalRig rig;
  ThermalPage page(*rig.model);
  auto* grid = page.findChild<KeyedGrid*>(QStringLiteral("thermal.grid"));
  const QStringList all = grid->ids();
  ASSERT_EQ(all.size(), 30);
  auto* filter = page.findChild<QLineEdit*>(QStringLiteral("thermal.filter"));
  filter->setText(QStringLiteral("MEMORY"));
  EXPECT_GT(grid->ids().size(), 0);
  EXPECT_LT(grid->ids().size(), 30);
  filter->setText(QStringLiteral("/proc"));
  EXPECT_TRUE(grid->ids().isEmpty());
  filter->clear();
  EXPECT_EQ(grid->ids(), all);
}

TEST(ThermalPage, FitsAnyWindowWithoutSidewaysScrollAndIsShotAtEachSize) {
  ThermalRig rig;
  for (int i = 0; i < 40; ++i) rig.model->ingest(thermalSnapshot(i * 2.0, ThermalLevel::nominal, true));
  const auto make = [&](QWidget* parent) { return new ThermalPage(*rig.model, parent); };
  for (const QSize size : {QSize(580, 560), QSize(860, 560), QSize(1000, 860)})
    test::expectNoSidewaysScroll(make, size);
  EXPECT_EQ(test::shootPage(make, QStringLiteral("thermal"), QStringLiteral("sizes")).size(), 8);
}

TEST(ThermalPage, WritesThePageForALook) {
  {
    ThermalRig rig(false);
    rig.model->ingest(thermalSnapshot(0, std::nullopt));
    ThermalPage page(*rig.model);
    EXPECT_TRUE(test::savePage(page, QStringLiteral("thermal"), QStringLiteral("thermal-nozones"), false,
                               1100, 2300));
  }
  ThermalRig rig;
  const ThermalLevel levels[] = {ThermalLevel::nominal, ThermalLevel::fair, ThermalLevel::serious};
  for (int i = 0; i < 40; ++i) {
    auto snapshot = thermalSnapshot(i * 2.0, levels[(i / 8) % 3], true);
    snapshot.power.temperature = 33.5;
    rig.model->ingest(snapshot);
  }
  for (bool dark : {false, true}) {
    ThermalPage page(*rig.model);
    EXPECT_TRUE(test::savePage(page, QStringLiteral("thermal"), QStringLiteral("thermal"), dark, 1100, 2300));
  }
}

}  // namespace
}  // namespace kivo
