#include "reporting/JsonWriter.h"
#include "reporting/Report.h"

#include "metrics/JsonFields.h"
#include "reporting/ExportText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kivo {

namespace {

void writeDate(JsonWriter& w, const QDateTime& date, const char* what) {
  const QByteArray text = ExportText::isoDate(date);
  if (text.isEmpty())
    throw JsonEncodingError(std::string("Unable to encode the date at ") + what + " in JSON.");
  w.string(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

void writeStrings(JsonWriter& w, const QStringList& texts) {
  w.beginArray();
  for (const auto& text : texts) w.string(text);
  w.endArray();
}

void writeFinding(JsonWriter& w, const Finding& f) {
  // Keys in sorted order.
  w.beginObject();
  if (f.concurrent) {
    w.key("concurrent");
    w.integer(*f.concurrent);
  }
  w.key("end");
  writeDate(w, f.end, "findings.end");
  w.key("kind");
  w.string(FindingKinds::rawValue(f.kind));
  w.key("mean");
  w.number(f.mean, "findings.mean");
  w.key("metric");
  w.integer(Metric::rawValue(f.metric));
  w.key("occurrences");
  w.integer(f.occurrences);
  w.key("peak");
  w.number(f.peak, "findings.peak");
  if (f.projected) {
    w.key("projected");
    writeDate(w, *f.projected, "findings.projected");
  }
  w.key("sampleCount");
  w.integer(f.sampleCount);
  w.key("severity");
  w.integer(static_cast<int>(f.severity));
  w.key("start");
  writeDate(w, f.start, "findings.start");
  if (f.subject) {
    w.key("subject");
    w.string(*f.subject);
  }
  w.key("threshold");
  w.number(f.threshold, "findings.threshold");
  w.endObject();
}

void writeSummary(JsonWriter& w, const ReportSeriesSummary& s) {
  w.beginObject();
  if (s.average) {
    w.key("average");
    w.number(*s.average, "series.average");
  }
  w.key("gaps");
  w.beginArray();
  for (const auto& gap : s.gaps) {
    w.beginObject();
    w.key("end");
    w.number(gap.end, "series.gaps.end");
    w.key("start");
    w.number(gap.start, "series.gaps.start");
    w.endObject();
  }
  w.endArray();
  if (s.maximum) {
    w.key("maximum");
    w.number(*s.maximum, "series.maximum");
  }
  w.key("method");
  w.string(s.method);
  w.key("metric");
  w.integer(Metric::rawValue(s.metric));
  if (s.minimum) {
    w.key("minimum");
    w.number(*s.minimum, "series.minimum");
  }
  w.key("name");
  w.string(s.name);
  w.key("points");
  w.beginArray();
  for (const auto& p : s.points) {
    w.beginObject();
    w.key("avg");
    w.number(p.avg, "series.points.avg");
    w.key("count");
    w.integer(p.count);
    w.key("max");
    w.number(p.max, "series.points.max");
    w.key("min");
    w.number(p.min, "series.points.min");
    w.key("time");
    w.number(p.time, "series.points.time");
    w.endObject();
  }
  w.endArray();
  w.key("quality");
  w.string(Quality::rawValue(s.quality));
  w.key("sampleCount");
  w.integer(s.sampleCount);
  w.key("source");
  w.string(s.source);
  w.key("step");
  w.number(s.step, "series.step");
  w.key("tier");
  w.string(StoreTiers::rawValue(s.tier));
  w.key("unit");
  w.string(Unit::rawValue(s.unit));
  w.endObject();
}

// --- reading -------------------------------------------------------------------------------

// Reads values out of parsed JSON without guessing: a missing key or a value of another type
// throws ReportFormatError naming the path ("series[2].points[5].count"). The type checks are
// the shared field readers'; this layer only adds the location to the message.
struct J {
  [[noreturn]] static void fail(const QString& path, const QString& problem) {
    const QString where = path.isEmpty() ? QStringLiteral("the document") : path;
    throw ReportFormatError(QStringLiteral("Invalid report at %1: %2.").arg(where, problem).toStdString());
  }

  static QString join(const QString& path, const QString& key) {
    return path.isEmpty() ? key : path + u'.' + key;
  }
  static QString index(const QString& path, qsizetype i) { return path + u'[' + QString::number(i) + u']'; }

  static QJsonValue required(const QJsonObject& object, const QString& key, const QString& path) {
    const auto it = object.constFind(key);
    if (it == object.constEnd()) fail(path, QStringLiteral("missing key \"%1\"").arg(key));
    return it.value();
  }

  static QJsonObject object(const QJsonValue& value, const QString& path) {
    if (!value.isObject()) wrongType(value, path, "an object");
    return value.toObject();
  }

  static QJsonArray array(const QJsonObject& object, const QString& key, const QString& path) {
    const QJsonValue value = required(object, key, path);
    if (!value.isArray()) wrongType(value, join(path, key), "an array");
    return value.toArray();
  }

  static QString string(const QJsonValue& value, const QString& path) {
    return take<QString>(value, path, "a string");
  }
  static QString string(const QJsonObject& object, const QString& key, const QString& path) {
    return string(required(object, key, path), join(path, key));
  }
  static std::optional<QString> optionalString(const QJsonObject& object, const QString& key,
                                               const QString& path) {
    return optional(object, key, path, [](const QJsonValue& v, const QString& p) { return string(v, p); });
  }

  // Any finite JSON number.
  static double number(const QJsonValue& value, const QString& path) {
    if (!value.isDouble()) wrongType(value, path, "a number");
    const auto number = JsonFields::as<double>(value);
    if (!number) fail(path, QStringLiteral("the number is not finite"));
    return *number;
  }
  static double number(const QJsonObject& object, const QString& key, const QString& path) {
    return number(required(object, key, path), join(path, key));
  }
  static std::optional<double> optionalNumber(const QJsonObject& object, const QString& key,
                                              const QString& path) {
    return optional(object, key, path, [](const QJsonValue& v, const QString& p) { return number(v, p); });
  }

  // A whole JSON number within 64 bits; 3.5 is the wrong type.
  static std::int64_t integer(const QJsonValue& value, const QString& path) {
    return take<std::int64_t>(value, path, "an integer");
  }
  static std::int64_t integer(const QJsonObject& object, const QString& key, const QString& path) {
    return integer(required(object, key, path), join(path, key));
  }
  static std::optional<std::int64_t> optionalInteger(const QJsonObject& object, const QString& key,
                                                     const QString& path) {
    return optional(object, key, path, [](const QJsonValue& v, const QString& p) { return integer(v, p); });
  }

  // ISO 8601 in whole seconds with a zone, as exports write it.
  static QDateTime date(const QJsonValue& value, const QString& path) {
    const QString text = string(value, path);
    const auto date = ExportText::parseIsoDate(text);
    if (!date) fail(path, QStringLiteral("\"%1\" is not an ISO 8601 date").arg(text));
    return *date;
  }
  static QDateTime date(const QJsonObject& object, const QString& key, const QString& path) {
    return date(required(object, key, path), join(path, key));
  }
  static std::optional<QDateTime> optionalDate(const QJsonObject& object, const QString& key,
                                               const QString& path) {
    return optional(object, key, path, [](const QJsonValue& v, const QString& p) { return date(v, p); });
  }

  // An array of strings.
  static QStringList strings(const QJsonValue& value, const QString& path) {
    if (!value.isArray()) wrongType(value, path, "an array");
    const QJsonArray array = value.toArray();
    QStringList out;
    out.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) out.append(string(array.at(i), index(path, i)));
    return out;
  }

 private:
  static QString typeName(const QJsonValue& value) {
    switch (value.type()) {
      case QJsonValue::Null:
        return QStringLiteral("null");
      case QJsonValue::Bool:
        return QStringLiteral("a boolean");
      case QJsonValue::Double:
        return QStringLiteral("a number");
      case QJsonValue::String:
        return QStringLiteral("a string");
      case QJsonValue::Array:
        return QStringLiteral("an array");
      case QJsonValue::Object:
        return QStringLiteral("an object");
      case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
  }

  [[noreturn]] static void wrongType(const QJsonValue& value, const QString& path, const char* wanted) {
    fail(path, QStringLiteral("expected %1, found %2").arg(QLatin1String(wanted), typeName(value)));
  }

  template <typename T>
  static T take(const QJsonValue& value, const QString& path, const char* wanted) {
    std::optional<T> result = JsonFields::as<T>(value);
    if (!result) wrongType(value, path, wanted);
    return std::move(*result);
  }

  // Absent when the key is missing or null; otherwise read as a required value.
  template <typename Read>
  static auto optional(const QJsonObject& object, const QString& key, const QString& path, Read read)
      -> std::optional<decltype(read(QJsonValue(), QString()))> {
    const auto it = object.constFind(key);
    if (it == object.constEnd() || it.value().isNull()) return std::nullopt;
    return read(it.value(), join(path, key));
  }
};

QString qs(const char* key) {
  return QString::fromLatin1(key);
}

template <typename Parse>
auto enumeration(const QJsonObject& o, const char* key, const QString& path, Parse parse) {
  const QString text = J::string(o, qs(key), path);
  const auto value = parse(text.toStdString());
  if (!value) J::fail(J::join(path, qs(key)), QStringLiteral("unknown value \"%1\"").arg(text));
  return *value;
}

MetricID metricOf(const QJsonObject& o, const QString& path) {
  const std::int64_t raw = J::integer(o, qs("metric"), path);
  const auto metric = Metric::fromRawValue(raw);
  if (!metric) J::fail(J::join(path, qs("metric")), QStringLiteral("unknown metric number %1").arg(raw));
  return *metric;
}

Finding readFinding(const QJsonValue& value, const QString& path) {
  const QJsonObject o = J::object(value, path);
  Finding f{};
  f.kind = enumeration(o, "kind", path, [](const std::string& s) { return FindingKinds::fromRawValue(s); });
  const std::int64_t severity = J::integer(o, qs("severity"), path);
  const auto parsedSeverity = Severities::fromRawValue(severity);
  if (!parsedSeverity)
    J::fail(J::join(path, qs("severity")), QStringLiteral("unknown value %1").arg(severity));
  f.severity = *parsedSeverity;
  f.metric = metricOf(o, path);
  f.start = J::date(o, qs("start"), path);
  f.end = J::date(o, qs("end"), path);
  f.threshold = J::number(o, qs("threshold"), path);
  f.peak = J::number(o, qs("peak"), path);
  f.mean = J::number(o, qs("mean"), path);
  f.sampleCount = J::integer(o, qs("sampleCount"), path);
  f.subject = J::optionalString(o, qs("subject"), path);
  f.projected = J::optionalDate(o, qs("projected"), path);
  f.occurrences = J::integer(o, qs("occurrences"), path);
  // Written only where more than one process ran at once; older reports never have it.
  f.concurrent = J::optionalInteger(o, qs("concurrent"), path);
  return f;
}

ReportTable readTable(const QJsonValue& value, const QString& path) {
  const QJsonObject o = J::object(value, path);
  ReportTable table;
  table.title = J::string(o, qs("title"), path);
  table.headers = J::strings(J::required(o, qs("headers"), path), J::join(path, qs("headers")));
  const QString rowsPath = J::join(path, qs("rows"));
  const QJsonArray rows = J::array(o, qs("rows"), path);
  table.rows.reserve(rows.size());
  for (qsizetype i = 0; i < rows.size(); ++i)
    table.rows.append(J::strings(rows.at(i), J::index(rowsPath, i)));
  return table;
}

// The figures a metric of this unit can take: none below 0 but for temperatures (not below
// absolute zero) and power flow (signed), and none beyond what any machine measures. A report
// with a figure outside them was not written by us as it stands; shown, it would read as a
// clamped "8.0 EiB" or a change hundreds of digits long.
void checkFigure(double value, MetricUnit unit, const QString& path) {
  double lowest = 0;
  double highest = 9.2e18;  // about 2^63: bytes, counts, rates and durations
  switch (unit) {
    case MetricUnit::percent:
      highest = 1e4;  // a battery's health can pass 100 %, not a hundredfold
      break;
    case MetricUnit::celsius:
      lowest = -273.15;
      highest = 1e4;
      break;
    case MetricUnit::watts:
      lowest = -1e6;
      highest = 1e6;
      break;
    default:
      break;
  }
  if (value < lowest) {
    J::fail(path, lowest == 0 ? QStringLiteral("%1 cannot be negative").arg(value)
                              : QStringLiteral("%1 is below what can be measured").arg(value));
  }
  if (value > highest) J::fail(path, QStringLiteral("%1 is beyond what can be measured").arg(value));
}

ReportSeriesSummary readSummary(const QJsonValue& value, const QString& path) {
  const QJsonObject o = J::object(value, path);
  ReportSeriesSummary s;
  s.metric = metricOf(o, path);
  s.name = J::string(o, qs("name"), path);
  s.unit = enumeration(o, "unit", path, [](const std::string& t) { return Unit::fromRawValue(t); });
  s.quality = enumeration(o, "quality", path, [](const std::string& t) { return Quality::fromRawValue(t); });
  s.source = J::string(o, qs("source"), path);
  s.method = J::string(o, qs("method"), path);
  s.tier = enumeration(o, "tier", path, [](const std::string& t) { return StoreTiers::fromRawValue(t); });
  s.step = J::number(o, qs("step"), path);
  s.sampleCount = J::integer(o, qs("sampleCount"), path);
  s.minimum = J::optionalNumber(o, qs("minimum"), path);
  s.average = J::optionalNumber(o, qs("average"), path);
  s.maximum = J::optionalNumber(o, qs("maximum"), path);
  for (const auto& [key, figure] :
       {std::pair{"minimum", s.minimum}, {"average", s.average}, {"maximum", s.maximum}})
    if (figure) checkFigure(*figure, s.unit, J::join(path, qs(key)));

  const QString gapsPath = J::join(path, qs("gaps"));
  const QJsonArray gaps = J::array(o, qs("gaps"), path);
  s.gaps.reserve(static_cast<std::size_t>(gaps.size()));
  for (qsizetype i = 0; i < gaps.size(); ++i) {
    const QString at = J::index(gapsPath, i);
    const QJsonObject g = J::object(gaps.at(i), at);
    s.gaps.push_back(SeriesGap{J::number(g, qs("start"), at), J::number(g, qs("end"), at)});
  }
  const QString pointsPath = J::join(path, qs("points"));
  const QJsonArray points = J::array(o, qs("points"), path);
  s.points.reserve(static_cast<std::size_t>(points.size()));
  for (qsizetype i = 0; i < points.size(); ++i) {
    const QString at = J::index(pointsPath, i);
    const QJsonObject p = J::object(points.at(i), at);
    s.points.push_back(SeriesPoint{J::number(p, qs("time"), at), J::number(p, qs("min"), at),
                                   J::number(p, qs("max"), at), J::number(p, qs("avg"), at),
                                   J::integer(p, qs("count"), at)});
    const SeriesPoint& point = s.points.back();
    checkFigure(point.min, s.unit, J::join(at, qs("min")));
    checkFigure(point.avg, s.unit, J::join(at, qs("avg")));
    checkFigure(point.max, s.unit, J::join(at, qs("max")));
  }
  return s;
}

}  // namespace

QByteArray Report::toJson() const {
  JsonWriter w;
  std::size_t points = 0;
  for (const auto& summary : series) points += summary.points.size() + summary.gaps.size();
  // About 160 bytes per pretty-printed point, a few kilobytes for the rest.
  w.reserve(static_cast<qsizetype>(points * 160 + 8192));
  w.beginObject();
  w.key("appVersion");
  w.string(appVersion);
  w.key("findings");
  w.beginArray();
  for (const auto& finding : findings) writeFinding(w, finding);
  w.endArray();
  w.key("from");
  writeDate(w, from, "from");
  w.key("generated");
  writeDate(w, generated, "generated");
  w.key("kind");
  w.string(ReportKinds::rawValue(kind));
  w.key("limitations");
  writeStrings(w, limitations);
  w.key("samplingInterval");
  w.number(samplingInterval, "samplingInterval");
  w.key("series");
  w.beginArray();
  for (const auto& summary : series) writeSummary(w, summary);
  w.endArray();
  w.key("system");
  w.beginArray();
  for (const auto& row : system) writeStrings(w, row);
  w.endArray();
  w.key("tables");
  w.beginArray();
  for (const auto& table : tables) {
    w.beginObject();
    w.key("headers");
    writeStrings(w, table.headers);
    w.key("rows");
    w.beginArray();
    for (const auto& row : table.rows) writeStrings(w, row);
    w.endArray();
    w.key("title");
    w.string(table.title);
    w.endObject();
  }
  w.endArray();
  w.key("title");
  w.string(title);
  w.key("to");
  writeDate(w, to, "to");
  w.endObject();
  return w.take();
}

Report Report::fromJson(const QByteArray& json) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError)
    throw ReportFormatError(QStringLiteral("The file is not valid JSON: %1 (at byte %2).")
                                .arg(error.errorString())
                                .arg(error.offset)
                                .toStdString());
  const QString root;
  const QJsonObject o =
      J::object(document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array()), root);

  Report report;
  report.kind =
      enumeration(o, "kind", root, [](const std::string& t) { return ReportKinds::fromRawValue(t); });
  report.title = J::string(o, qs("title"), root);
  report.generated = J::date(o, qs("generated"), root);
  report.from = J::date(o, qs("from"), root);
  report.to = J::date(o, qs("to"), root);
  report.samplingInterval = J::number(o, qs("samplingInterval"), root);

  const QJsonArray system = J::array(o, qs("system"), root);
  for (qsizetype i = 0; i < system.size(); ++i)
    report.system.append(J::strings(system.at(i), J::index(qs("system"), i)));

  const QJsonArray series = J::array(o, qs("series"), root);
  report.series.reserve(static_cast<std::size_t>(series.size()));
  for (qsizetype i = 0; i < series.size(); ++i)
    report.series.push_back(readSummary(series.at(i), J::index(qs("series"), i)));

  const QJsonArray tables = J::array(o, qs("tables"), root);
  report.tables.reserve(static_cast<std::size_t>(tables.size()));
  for (qsizetype i = 0; i < tables.size(); ++i)
    report.tables.push_back(readTable(tables.at(i), J::index(qs("tables"), i)));

  const QJsonArray findings = J::array(o, qs("findings"), root);
  report.findings.reserve(static_cast<std::size_t>(findings.size()));
  for (qsizetype i = 0; i < findings.size(); ++i)
    report.findings.push_back(readFinding(findings.at(i), J::index(qs("findings"), i)));

  report.limitations = J::strings(J::required(o, qs("limitations"), root), qs("limitations"));
  report.appVersion = J::string(o, qs("appVersion"), root);
  return report;
}

}  // namespace kivo
