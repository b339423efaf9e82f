#include "LinuxNames.h"
#include "ReportFixtures.h"

#include <gtest/gtest.h>

using namespace kivo;
using namespace kivo::test;

namespace {

QStringList titles(const Report& report) {
  QStringList out;
  for (const auto& table : report.tables) out.append(table.title);
  return out;
}

const ReportTable* tableTitled(const Report& report, const QString& title) {
  for (const auto& table : report.tables)
    if (table.title == title) return &table;
  return nullptr;
}

}  // namespace

TEST(ReportBuild, SystemRows) {
  ReportInputs inputs = systemInputs();
  const Report withHost = buildReport(inputs);
  const QList<QStringList> expected{
      {"Host name", "workstation"},
      {"Model", "ThinkPad X1 Carbon Gen 11"},
      {"Chip", "13th Gen Intel(R) Core(TM) i7-1365U"},
      {"Operating system", "Debian GNU/Linux 12 (bookworm) (6.1.0-18-amd64)"},
      {"Memory", "16.0 GiB"},
      {"CPU cores", "10 (2 Performance, 8 Efficient)"},
      {"Uptime", "6 h 2 min"},  // at the end of the period, two units at most
  };
  EXPECT_EQ(withHost.system, expected);

  inputs.includeHostName = false;
  inputs.system.topology.groups.clear();
  inputs.system.osBuild.clear();
  const Report withoutHost = buildReport(inputs);
  ASSERT_EQ(withoutHost.system.size(), 6);
  EXPECT_EQ(withoutHost.system[0], (QStringList{"Model", "ThinkPad X1 Carbon Gen 11"}));
  EXPECT_EQ(withoutHost.system[2], (QStringList{"Operating system", "Debian GNU/Linux 12 (bookworm)"}));
  EXPECT_EQ(withoutHost.system[4], (QStringList{"CPU cores", "10"}));
  // The host name appears nowhere else in the report.
  EXPECT_FALSE(ReportGenerator::json(withoutHost).contains("workstation"));
}

TEST(ReportBuild, HeaderFieldsAndSummaries) {
  const ReportInputs inputs = systemInputs();
  const Localize marked = [](const QString& s) { return QStringLiteral("«") + s + QStringLiteral("»"); };
  const Report report = ReportGenerator::build(inputs, englishFormatter(), marked, generatedAt());
  EXPECT_EQ(report.kind, ReportKind::system);
  EXPECT_EQ(report.title, QStringLiteral("«System Overview Report»"));
  EXPECT_EQ(report.generated, generatedAt());
  EXPECT_EQ(report.from, inputs.from);
  EXPECT_EQ(report.to, inputs.to);
  EXPECT_EQ(report.samplingInterval, 2.0);
  EXPECT_EQ(report.appVersion, QStringLiteral("0.1.0"));
  ASSERT_EQ(report.findings.size(), 2u);
  EXPECT_EQ(report.findings[1], inputs.findings[1]);

  ASSERT_EQ(report.series.size(), 12u);
  const ReportSeriesSummary& cpu = report.series[0];
  const MetricDescriptor& d = MetricCatalog::descriptor(MetricID::cpuTotal);
  EXPECT_EQ(cpu.metric, MetricID::cpuTotal);
  EXPECT_EQ(cpu.name, QStringLiteral("«") + d.name + QStringLiteral("»"));
  EXPECT_EQ(cpu.source, d.source);  // not localised
  EXPECT_EQ(cpu.method, d.method);
  EXPECT_EQ(cpu.unit, d.unit);
  EXPECT_EQ(cpu.quality, d.quality);
  EXPECT_EQ(cpu.tier, StoreTier::minute);
  EXPECT_EQ(cpu.step, 60.0);
  EXPECT_EQ(cpu.sampleCount, 89);
  EXPECT_EQ(cpu.minimum, 37.5 - 8.5);
  EXPECT_EQ(cpu.maximum, 37.5 + 8.5);
  EXPECT_DOUBLE_EQ(*cpu.average, (37.5 * 30 + 41.75 * 30 + 33.25 * 29) / 89);
  EXPECT_EQ(cpu.gaps, inputs.series[0].gaps);
  EXPECT_EQ(cpu.points, inputs.series[0].points);

  const ReportSeriesSummary& gpu = report.series[10];
  EXPECT_EQ(gpu.metric, MetricID::gpuUtilization);
  EXPECT_EQ(gpu.sampleCount, 0);
  EXPECT_FALSE(gpu.minimum);
  EXPECT_FALSE(gpu.average);
  EXPECT_FALSE(gpu.maximum);
  EXPECT_EQ(gpu.gaps.size(), 1u);
}

TEST(ReportBuild, SystemTables) {
  const Report report = buildReport(systemInputs());
  EXPECT_EQ(titles(report),
            (QStringList{"Volumes", "Network interfaces", "Top processes by CPU", "Battery", "Events"}));

  const ReportTable& volumes = report.tables[0];
  EXPECT_EQ(volumes.headers, (QStringList{"Volume", "Format", "Capacity", "Available", "Used"}));
  const QList<QStringList> volumeRows{
      {"root", "ext4", "512.0 GB", "100.0 GB", "80%"},
      {"Data|Backup", "btrfs", "2.0 TB", "1.5 TB", "25%"},
      {"odd", "nfs4", "1.0 kB", "5.0 kB", "0%"}};  // more available than total
  EXPECT_EQ(volumes.rows, volumeRows);

  const ReportTable& interfaces = report.tables[1];
  EXPECT_EQ(interfaces.rows, (QList<QStringList>{{"wlp2s0", "wifi", "Active", "3.5 GB", "250.0 MB"}}));

  const ReportTable& processes = report.tables[2];
  EXPECT_EQ(processes.headers, (QStringList{"Process", "PID", "CPU", "Memory", "CPU time"}));
  // By CPU, an absent figure counted as 0; the sort is stable; records without statistics left out.
  const QList<QStringList> processRows{{"evil|name\nsecond line", "77", "120.4%", "50.0 MiB", "1 min 1 s"},
                                       {"firefox-esr", "4321", "85.5%", "1.5 GiB", "1 h 2 min"},
                                       {"kworker/0:1", "900", "—", "—", "1 s"},
                                       {"systemd", "1", "0.0%", "12.4 MiB", "12 s"}};
  EXPECT_EQ(processes.rows, processRows);

  EXPECT_EQ(report.tables[3].rows, (QList<QStringList>{{"Charge", "88%"},
                                                       {"Power source", "battery"},
                                                       {"Cycle count (best effort)", "123"},
                                                       {"Capacity vs design (best effort)", "90%"}}));

  const ReportTable& events = report.tables[4];
  EXPECT_EQ(events.headers, (QStringList{"Time", "Kind", "Event", "Detail"}));
  ASSERT_EQ(events.rows.size(), 3);
  // An alert reads as on the alerts page: no raw code, no rule id, the value rounded in its unit.
  EXPECT_EQ(events.rows[0],
            (QStringList{englishFormatter().date(utc(kEnd - 200)), "alert", "CPU usage — Fired", "91.1%"}));
  EXPECT_EQ(events.rows[1][3], QStringLiteral("note=build started, fans loud"));
}

TEST(ReportBuild, TablesByKind) {
  struct Case {
    ReportKind kind;
    QStringList titles;
  };
  const Case cases[] = {
      {ReportKind::system, {"Volumes", "Network interfaces", "Top processes by CPU", "Battery", "Events"}},
      {ReportKind::cpu, {"Top processes by CPU", "Events"}},
      {ReportKind::memory, {"Top processes by memory", "Events"}},
      {ReportKind::storage, {"Volumes", "Events"}},
      {ReportKind::network, {"Network interfaces", "Events"}},
      {ReportKind::processes, {"Top processes by CPU", "Events"}},
      {ReportKind::incident, {"Top processes by CPU", "Events"}},
  };
  for (const auto& c : cases) {
    ReportInputs inputs = systemInputs();
    inputs.kind = c.kind;
    EXPECT_EQ(titles(buildReport(inputs)), c.titles) << ReportKinds::rawValue(c.kind);
  }
  // Without events there is no Events table.
  ReportInputs quiet = systemInputs();
  quiet.kind = ReportKind::storage;
  quiet.events.clear();
  EXPECT_EQ(titles(buildReport(quiet)), QStringList{"Volumes"});
}

TEST(ReportBuild, ProcessLimitsAndOrder) {
  ReportInputs inputs = systemInputs();
  inputs.processes.clear();
  for (int i = 0; i < 30; ++i)
    inputs.processes.push_back(
        process(100 + i, QStringLiteral("p%1").arg(i), i, std::uint64_t(1000 * (30 - i)), 1));
  struct Case {
    ReportKind kind;
    qsizetype rows;
    const char* first;
  };
  const Case cases[] = {
      {ReportKind::processes, 25, "p29"}, {ReportKind::cpu, 10, "p29"}, {ReportKind::memory, 10, "p0"}};
  for (const auto& c : cases) {
    inputs.kind = c.kind;
    const Report report = buildReport(inputs);
    const ReportTable& table = report.tables.front();
    ASSERT_EQ(table.rows.size(), c.rows) << ReportKinds::rawValue(c.kind);
    EXPECT_EQ(table.rows.front().front(), QString::fromLatin1(c.first));
  }

  // A memory report sorts by memory, largest first; an absent footprint counts as 0.
  inputs.kind = ReportKind::memory;
  inputs.processes = {process(1, "small", 50.0, 10, 0), process(2, "none", 90.0, std::nullopt, 0),
                      process(3, "big", std::nullopt, 1'000'000, 0)};
  const Report memory = buildReport(inputs);
  const ReportTable* table = tableTitled(memory, "Top processes by memory");
  ASSERT_TRUE(table);
  ASSERT_EQ(table->rows.size(), 3);
  EXPECT_EQ(table->rows[0][0], QStringLiteral("big"));
  EXPECT_EQ(table->rows[0][2], QStringLiteral("—"));
  EXPECT_EQ(table->rows[2][0], QStringLiteral("none"));

  // No record with statistics still gives the table, without rows.
  inputs.processes = {process(1, "x", 1.0, 1, 0, false)};
  const Report hidden = buildReport(inputs);
  ASSERT_TRUE(tableTitled(hidden, "Top processes by memory"));
  EXPECT_TRUE(tableTitled(hidden, "Top processes by memory")->rows.isEmpty());
}

TEST(ReportBuild, InterfacesWithoutActiveOnes) {
  ReportInputs inputs = systemInputs();
  inputs.kind = ReportKind::network;
  inputs.events.clear();
  inputs.interfaces = {interface("eth0", InterfaceKind::ethernet, false, false, {"10.0.0.1"}, 0, 0),
                       interface("wlan0", InterfaceKind::wifi, true, true, {}, 0, 0)};
  const Report report = buildReport(inputs);
  ASSERT_EQ(report.tables.size(), 1u);
  EXPECT_EQ(report.tables[0].title, QStringLiteral("Network interfaces"));
  EXPECT_EQ(report.tables[0].headers.size(), 5);
  EXPECT_TRUE(report.tables[0].rows.isEmpty());

  // A display name is shown with the kernel name in brackets; IPv6 alone counts as an address.
  NetworkInterface named = interface("wg0", InterfaceKind::tunnel, true, true, {}, 1000, 2000);
  named.displayName = QStringLiteral("Office VPN");
  named.ipv6 = {QStringLiteral("fd00::1")};
  inputs.interfaces = {named};
  EXPECT_EQ(buildReport(inputs).tables[0].rows,
            (QList<QStringList>{{"Office VPN (wg0)", "tunnel", "Active", "1.0 kB", "2.0 kB"}}));
}

TEST(ReportBuild, BatteryRows) {
  ReportInputs inputs = systemInputs();
  PowerSample power;
  power.hasBattery = true;
  power.source = PowerSourceKind::ac;
  power.designCapacity = 0;
  power.maxCapacity = 4000;
  inputs.power = power;
  const Report report = buildReport(inputs);
  const ReportTable* battery = tableTitled(report, "Battery");
  ASSERT_TRUE(battery);
  EXPECT_EQ(battery->rows, (QList<QStringList>{{"Charge", "—"}, {"Power source", "ac"}}));

  // Without a battery, or without a power sample, there is no Battery table.
  power.hasBattery = false;
  inputs.power = power;
  EXPECT_FALSE(tableTitled(buildReport(inputs), "Battery"));
  inputs.power.reset();
  EXPECT_FALSE(tableTitled(buildReport(inputs), "Battery"));
}

TEST(ReportBuild, EventsAreCappedAtOneHundred) {
  ReportInputs inputs = systemInputs();
  inputs.events.clear();
  for (int i = 0; i < 130; ++i)
    inputs.events.push_back(event(kEnd - i, EventKind::system, QStringLiteral("e%1").arg(i), {}));
  const Report report = buildReport(inputs);
  const ReportTable* events = tableTitled(report, "Events");
  ASSERT_TRUE(events);
  ASSERT_EQ(events->rows.size(), 100);
  EXPECT_EQ(events->rows.front()[2], QStringLiteral("e0"));
  EXPECT_EQ(events->rows.back()[2], QStringLiteral("e99"));
  EXPECT_EQ(events->rows.back()[3], QString());  // empty payload, empty cell
}

TEST(ReportBuild, AlertEventsReadAsTheAlertsPageShowsThem) {
  const auto v = [](const char* value) {
    return QMap<QString, QString>{{QStringLiteral("value"), QLatin1String(value)},
                                  {QStringLiteral("rule"), QStringLiteral("r-1")}};
  };
  const struct {
    const char* code;
    std::optional<MetricID> metric;
    QMap<QString, QString> payload;
    const char* event;
    const char* detail;
  } cases[] = {
      {"alert.fired", MetricID::cpuTotal, v("99.12005028284099"), "CPU usage — Fired", "99.1%"},
      {"alert.resolved", MetricID::netDown, v("52000000"), "Network download — Resolved", "52.0 MB/s"},
      {"alert.fired", MetricID::thermalState, v("2"), "Thermal state — Fired", "Serious"},
      {"alert.fired", MetricID::cpuTotal, v("not a number"), "CPU usage — Fired", ""},
      // Without a metric there is no title to give: the stored code and payload stay.
      {"alert.fired", std::nullopt, v("91"), "alert.fired", "rule=r-1 value=91"},
  };
  for (const auto& c : cases) {
    ReportInputs inputs = systemInputs();
    inputs.events = {event(kEnd - 10, EventKind::alert, QLatin1String(c.code), c.payload, c.metric)};
    const Report report = buildReport(inputs);
    const ReportTable* events = tableTitled(report, "Events");
    ASSERT_TRUE(events);
    ASSERT_EQ(events->rows.size(), 1);
    EXPECT_EQ(events->rows[0][2], QString::fromUtf8(c.event)) << c.code;
    EXPECT_EQ(events->rows[0][3], QString::fromUtf8(c.detail)) << c.code;
  }
}

// A network change reads as the network page says it, never as its stored keys.
TEST(ReportBuild, NetworkEventsReadAsWords) {
  const auto change = [](const char* what, const char* interface, const char* kind) {
    return QMap<QString, QString>{{QStringLiteral("change"), QLatin1String(what)},
                                  {QStringLiteral("interface"), QLatin1String(interface)},
                                  {QStringLiteral("interfaceKind"), QLatin1String(kind)},
                                  {QStringLiteral("interfaces"), QStringLiteral("eth0,kivo0")}};
  };
  const struct {
    const char* code;
    QMap<QString, QString> payload;
    const char* event;
    const char* detail;
  } cases[] = {
      {"network.online", change("added", "kivo0", "other"), "Interface added", "kivo0"},
      {"network.online", change("removed", "kivo1", "other"), "Interface removed", "kivo1"},
      {"network.offline", change("linkDown", "eth0", "ethernet"), "Link down", "eth0"},
      {"network.online", change("linkUp", "wlan0", "wifi"), "Link up", "wlan0"},
      {"network.online",
       {{QStringLiteral("interfaces"), QStringLiteral("eth0,kivo1,kivo0")}},
       "Connected",
       "eth0, kivo1, kivo0"},
      {"network.offline", {{QStringLiteral("interfaces"), QString()}}, "Disconnected", ""},
  };
  for (const auto& c : cases) {
    ReportInputs inputs = systemInputs();
    inputs.events = {event(kEnd - 10, EventKind::network, QLatin1String(c.code), c.payload)};
    const Report report = buildReport(inputs);
    const ReportTable* events = tableTitled(report, "Events");
    ASSERT_TRUE(events);
    ASSERT_EQ(events->rows.size(), 1);
    EXPECT_EQ(events->rows[0][2], QString::fromUtf8(c.event)) << c.event;
    EXPECT_EQ(events->rows[0][3], QString::fromUtf8(c.detail)) << c.event;
  }
}

// A spike reads as the process and what it did, never as its stored keys; figures that are not
// numbers are left out.
TEST(ReportBuild, SpikeEventsReadAsWords) {
  const auto payload = [](const char* pid, const char* peak, const char* duration) {
    QMap<QString, QString> p{{QStringLiteral("name"), QStringLiteral("xz")}};
    if (pid) p.insert(QStringLiteral("pid"), QLatin1String(pid));
    if (peak) p.insert(QStringLiteral("peak"), QLatin1String(peak));
    if (duration) p.insert(QStringLiteral("duration"), QLatin1String(duration));
    return p;
  };
  const struct {
    QMap<QString, QString> payload;
    const char* detail;
  } cases[] = {
      {payload("4242", "99.3", "44"), "“xz”, PID 4242: up to 99.3% of one core for 44 s"},
      {payload("4242", "196.0", "3725"), "“xz”, PID 4242: up to 196.0% of one core for 1 h 2 min"},
      {payload(nullptr, "99.5", nullptr), "“xz”: up to 99.5% of one core"},
      {payload("x", "99,5", "long"), "“xz”"},
  };
  for (const auto& c : cases) {
    ReportInputs inputs = systemInputs();
    inputs.events = {event(kEnd - 10, EventKind::process, QStringLiteral("process.spike"), c.payload)};
    const Report report = buildReport(inputs);
    const ReportTable* events = tableTitled(report, "Events");
    ASSERT_TRUE(events);
    ASSERT_EQ(events->rows.size(), 1);
    EXPECT_EQ(events->rows[0][2], QStringLiteral("Process spike"));
    EXPECT_EQ(events->rows[0][3], QString::fromUtf8(c.detail));
  }
}

TEST(ReportBuild, Limitations) {
  const Report full = buildReport(systemInputs());
  ASSERT_EQ(full.limitations.size(), 5);
  EXPECT_TRUE(full.limitations[0].startsWith("Values come from"));
  // No text of the other platform reaches a Linux report.
  for (const auto& sentence : full.limitations) EXPECT_TRUE(test::namesOnlyLinux(sentence));

  const Report empty = buildReport(emptyInputs());
  ASSERT_EQ(empty.limitations.size(), 6);
  EXPECT_EQ(empty.limitations[0], QStringLiteral("No stored samples exist for the selected period."));

  ReportInputs none = emptyInputs();
  none.series.clear();
  EXPECT_EQ(buildReport(none).limitations.size(), 6);
}

TEST(ReportBuild, LocalisesEveryTitleAndHeaderButPID) {
  const Localize upper = [](const QString& s) { return s.toUpper(); };
  const Report report = ReportGenerator::build(systemInputs(), englishFormatter(), upper, generatedAt());
  const ReportTable* processes = tableTitled(report, "TOP PROCESSES BY CPU");
  ASSERT_TRUE(processes);
  EXPECT_EQ(processes->headers, (QStringList{"PROCESS", "PID", "CPU", "MEMORY", "CPU TIME"}));
  EXPECT_EQ(tableTitled(report, "EVENTS")->rows[0][1], QStringLiteral("ALERT"));
  EXPECT_EQ(report.system[0][0], QStringLiteral("HOST NAME"));
  // Data is shown as given.
  EXPECT_EQ(report.system[0][1], QStringLiteral("workstation"));
  EXPECT_EQ(processes->rows[1][0], QStringLiteral("firefox-esr"));
}
