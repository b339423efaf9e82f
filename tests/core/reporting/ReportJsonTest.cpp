#include "ReportFixtures.h"

#include "reporting/Report.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <random>
#include <span>
#include <variant>

using namespace kivo;
using namespace kivo::test;

namespace {

QJsonObject parsed(const QByteArray& json) {
  return QJsonDocument::fromJson(json).object();
}

QByteArray serialised(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// Applies `edit` to the value at a path of keys and indexes ("series", 0, "points", 1).
using Step = std::variant<const char*, int>;
QJsonValue edited(const QJsonValue& value, std::span<const Step> path,
                  const std::function<QJsonValue(QJsonValue)>& edit) {
  if (path.empty()) return edit(value);
  if (std::holds_alternative<const char*>(path[0])) {
    QJsonObject object = value.toObject();
    const QString key = QString::fromLatin1(std::get<const char*>(path[0]));
    const QJsonValue inner = edited(object.value(key), path.subspan(1), edit);
    if (inner.isUndefined())
      object.remove(key);
    else
      object.insert(key, inner);
    return object;
  }
  QJsonArray array = value.toArray();
  const int index = std::get<int>(path[0]);
  array.replace(index, edited(array.at(index), path.subspan(1), edit));
  return array;
}

}  // namespace

TEST(ReportJson, RoundTripIsExact) {
  for (const auto& inputs : {systemInputs(), incidentInputs(), emptyInputs()}) {
    const Report report = buildReport(inputs);
    const QByteArray json = ReportGenerator::json(report);
    const Report back = ReportGenerator::decode(json);
    EXPECT_EQ(ReportGenerator::json(back), json);
    EXPECT_EQ(back.kind, report.kind);
    EXPECT_EQ(back.generated, report.generated);
    EXPECT_EQ(back.findings, report.findings);
    EXPECT_EQ(back.tables, report.tables);
    EXPECT_EQ(back.system, report.system);
    ASSERT_EQ(back.series.size(), report.series.size());
    for (std::size_t i = 0; i < back.series.size(); ++i) {
      EXPECT_EQ(back.series[i].points, report.series[i].points);
      EXPECT_EQ(back.series[i].gaps, report.series[i].gaps);
      EXPECT_EQ(back.series[i].average, report.series[i].average);
    }
  }
}

TEST(ReportJson, FindingsKeepOptionalFields) {
  Report report = buildReport(emptyInputs());
  Finding disk = finding(FindingKind::diskExhaustion, Severity::critical, MetricID::diskFree, kEnd - 86400,
                         kEnd, 0, 5e10, -1.5e5, 1440);
  disk.projected = utc(kEnd + 3 * 86400);
  disk.occurrences = 7;
  Finding spikes = finding(FindingKind::processSpikes, Severity::info, MetricID::cpuTotal, kEnd - 600, kEnd,
                           3, 99, 90, 6, QStringLiteral("xz"));
  spikes.concurrent = 2;
  report.findings = {disk,
                     finding(FindingKind::networkAnomaly, Severity::info, MetricID::netUp, kEnd - 60, kEnd, 1,
                             2, 3, 4, QStringLiteral("wlp2s0")),
                     spikes};
  const QByteArray json = ReportGenerator::json(report);
  EXPECT_TRUE(json.contains("\"projected\" : \"2026-03-04T14:05:00Z\""));
  EXPECT_EQ(json.count("\"projected\""), 1);
  EXPECT_EQ(json.count("\"subject\""), 2);
  EXPECT_TRUE(json.contains("      \"concurrent\" : 2,\n      \"end\""));
  EXPECT_EQ(json.count("\"concurrent\""), 1);
  EXPECT_EQ(ReportGenerator::decode(json).findings, report.findings);
}

TEST(ReportJson, FormDetails) {
  Report report = buildReport(emptyInputs());
  report.tables.push_back(ReportTable{"Rates", {"Rate"}, {{"2.5 MB/s"}}});
  const QByteArray json = ReportGenerator::json(report);
  // Sorted keys, two spaces, " : ", slashes escaped, metric by number, no null for absent values.
  EXPECT_TRUE(json.startsWith(
      "{\n  \"appVersion\" : \"—\",\n  \"findings\" : [],\n  \"from\" : \"2026-02-28T14:05:00Z\","));
  EXPECT_TRUE(json.contains("\"2.5 MB\\/s\""));
  EXPECT_TRUE(json.contains("      \"metric\" : 40,\n"));
  EXPECT_TRUE(json.contains("      \"points\" : [],\n"));
  EXPECT_TRUE(json.contains("      \"sampleCount\" : 0,\n"));
  EXPECT_FALSE(json.contains("minimum"));
  EXPECT_FALSE(json.contains("average"));
  EXPECT_FALSE(json.contains("null"));
  EXPECT_EQ(ReportGenerator::decode(json).tables.back().rows[0][0], QStringLiteral("2.5 MB/s"));
}

TEST(ReportJson, OptionalSummaryValues) {
  const QJsonObject object = parsed(ReportGenerator::json(buildReport(systemInputs())));
  const Step path[] = {"series", 0, "minimum"};
  const QJsonObject without =
      edited(object, path, [](QJsonValue) { return QJsonValue(QJsonValue::Undefined); }).toObject();
  const Report report = ReportGenerator::decode(serialised(without));
  EXPECT_FALSE(report.series[0].minimum);
  EXPECT_TRUE(report.series[0].maximum);
  // Keys the types do not know are ignored.
  QJsonObject extra = object;
  extra.insert("futureField", QJsonArray{1, 2});
  EXPECT_NO_THROW(ReportGenerator::decode(serialised(extra)));
}

TEST(ReportJson, StrictRejection) {
  const Report report = buildReport(systemInputs());
  const QJsonObject object = parsed(ReportGenerator::json(report));
  const int kBytesSeries = static_cast<int>(
      std::find_if(report.series.begin(), report.series.end(),
                   [](const ReportSeriesSummary& s) { return s.unit == MetricUnit::bytes; }) -
      report.series.begin());
  ASSERT_LT(kBytesSeries, static_cast<int>(report.series.size()));
  const auto remove = [](QJsonValue) { return QJsonValue(QJsonValue::Undefined); };
  const auto set = [](QJsonValue v) { return [v](QJsonValue) { return v; }; };
  struct Case {
    std::vector<Step> path;
    std::function<QJsonValue(QJsonValue)> edit;
    const char* reason;  // a piece of the message
  };
  const Case cases[] = {
      {{"title"}, remove, "missing key \"title\""},
      {{"appVersion"}, remove, "missing key \"appVersion\""},
      {{"tables"}, remove, "missing key \"tables\""},
      {{"series", 2, "points", 1, "count"}, remove, "series[2].points[1]: missing key \"count\""},
      {{"series", 0, "gaps", 0, "end"}, remove, "series[0].gaps[0]"},
      {{"findings", 0, "severity"}, remove, "findings[0]"},
      {{"kind"}, set("Incident"), "unknown value \"Incident\""},
      {{"series", 0, "unit"}, set("Percent"), "series[0].unit"},
      {{"series", 0, "quality"}, set("guessed"), "series[0].quality"},
      {{"series", 0, "tier"}, set("daily"), "series[0].tier"},
      {{"series", 0, "metric"}, set(999), "unknown metric number 999"},
      {{"series", 0, "metric"}, set("1"), "series[0].metric"},
      {{"findings", 1, "metric"}, set(5), "findings[1].metric"},
      {{"findings", 0, "kind"}, set("cpuHot"), "findings[0].kind"},
      {{"findings", 0, "severity"}, set(3), "findings[0].severity"},
      {{"findings", 0, "start"}, set("yesterday"), "findings[0].start"},
      {{"findings", 0, "concurrent"}, set(2.5), "findings[0].concurrent"},
      {{"series", 0, "points", 0, "count"}, set(1.5), "expected an integer"},
      {{"series", 0, "sampleCount"}, set("89"), "series[0].sampleCount"},
      {{"series", 0, "step"}, set(QJsonValue::Null), "series[0].step"},
      {{"series", 0, "minimum"}, set("low"), "series[0].minimum"},
      {{"samplingInterval"}, set(true), "samplingInterval"},
      {{"generated"}, set("2026-03-01T14:05:07.250Z"), "generated"},
      {{"from"}, set(1772370300), "from"},
      {{"system", 0}, set(QJsonArray{"Model", 3}), "system[0][1]"},
      {{"system"}, set(QJsonObject{}), "system"},
      {{"tables", 0, "rows", 1}, set("row"), "tables[0].rows[1]"},
      {{"tables", 0, "headers"}, set(QJsonArray{QJsonValue::Null}), "tables[0].headers[0]"},
      {{"limitations"}, set(QJsonArray{QJsonArray{}}), "limitations[0]"},
      {{"series", 1}, set(QJsonArray{}), "series[1]"},
      {{"findings"}, set("none"), "findings"},
      // Figures no machine gives: refused as not a report, not shown clamped.
      {{"series", 0, "maximum"}, set(-5), "series[0].maximum: -5 cannot be negative"},
      {{"series", 0, "average"}, set(1e308), "series[0].average: 1e+308 is beyond what can be measured"},
      {{"series", kBytesSeries, "average"}, set(1e308), "is beyond what can be measured"},
      {{"series", kBytesSeries, "minimum"}, set(-1), "cannot be negative"},
      {{"series", 0, "points", 0, "max"}, set(-0.5), "series[0].points[0].max: -0.5 cannot be negative"},
  };
  for (const auto& c : cases) {
    const QJsonObject broken = edited(object, c.path, c.edit).toObject();
    try {
      ReportGenerator::decode(serialised(broken));
      ADD_FAILURE() << "accepted: " << c.reason;
    } catch (const ReportFormatError& error) {
      EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
    }
  }
}

TEST(ReportJson, RejectsWhatIsNotAReport) {
  const QByteArray good = ReportGenerator::json(buildReport(emptyInputs()));
  QByteArray huge = good;
  huge.replace("\"samplingInterval\" : 2.0", "\"samplingInterval\" : 1e999");
  ASSERT_NE(huge, good);
  for (const QByteArray& bad : {QByteArray(), QByteArray("[]"), QByteArray("null"), QByteArray("{}"),
                                QByteArray("{\"kind\":\"system\"}"), QByteArray("\xff\xfe{"), huge,
                                good + "trailing", good.left(good.size() - 1)}) {
    EXPECT_THROW(ReportGenerator::decode(bad), ReportFormatError) << bad.left(60).toStdString();
  }
}

// Truncated and mutated reports must give a clean error or a report, never a crash or another
// exception (the sanitizer build checks the memory side).
TEST(ReportJson, TruncatedAndMutatedInput) {
  const QByteArray good = ReportGenerator::json(buildReport(systemInputs()));
  // Every proper prefix is invalid JSON.
  const qsizetype stride = std::max<qsizetype>(1, good.size() / 1500);
  for (qsizetype n = 0; n < good.size(); n += stride)
    EXPECT_THROW(ReportGenerator::decode(good.left(n)), ReportFormatError) << n;

  std::mt19937 random(12345);
  const char alphabet[] = "{}[]\",:0123456789.-+eE ntrufalsZT\\/\x01\xc3";
  int accepted = 0;
  for (int round = 0; round < 600; ++round) {
    QByteArray mutated = good;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(mutated.size()));
      switch (random() % 3) {
        case 0:
          mutated[at] = alphabet[random() % (sizeof alphabet - 1)];
          break;
        case 1:
          mutated.remove(at, 1 + static_cast<qsizetype>(random() % 8));
          break;
        default:
          mutated.insert(
              at, mutated.mid(static_cast<qsizetype>(random() % static_cast<unsigned>(mutated.size())), 12));
      }
    }
    try {
      const Report report = ReportGenerator::decode(mutated);
      // Whatever was accepted is a full report that writes again.
      EXPECT_NO_THROW(ReportGenerator::json(report));
      ++accepted;
    } catch (const ReportFormatError&) {
    } catch (const std::exception& other) {
      ADD_FAILURE() << "unexpected exception: " << other.what();
    }
  }
  EXPECT_LT(accepted, 600);
}
