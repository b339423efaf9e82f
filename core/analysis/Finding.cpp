#include "analysis/Finding.h"

#include "metrics/JsonFields.h"

#include <QTimeZone>

#include <cmath>

namespace kivo {

namespace {
double seconds(const QDateTime& date) {
  return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0;
}

QString wholeSecondsText(const QDateTime& date) {
  if (!date.isValid()) return QStringLiteral("0");
  // Milliseconds divided in integers truncate toward zero (-1500 ms gives -1).
  return QString::number(date.toMSecsSinceEpoch() / 1000);
}

QJsonValue dateJson(const QDateTime& date) {
  if (!date.isValid()) return QJsonValue();
  return JsonFields::documentDate(seconds(date));
}

std::optional<QDateTime> dateField(const QJsonObject& object, const char* key, QString* error) {
  const auto text = JsonFields::required<QString>(object, key, error);
  if (!text) return std::nullopt;
  const auto value = JsonFields::parseDocumentDate(*text);
  if (!value) {
    JsonFields::fail(error, QStringLiteral("\"%1\" is not an ISO 8601 date").arg(QLatin1String(key)));
    return std::nullopt;
  }
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(*value * 1000.0)), QTimeZone::utc());
}
}  // namespace

QString Finding::id() const {
  const auto kindName = FindingKinds::rawValue(kind);
  const auto metricKey = Metric::key(metric);
  QString text = QString::fromLatin1(kindName.data(), static_cast<qsizetype>(kindName.size()));
  text += QLatin1Char('|');
  text += wholeSecondsText(start);
  text += QLatin1Char('|');
  if (subject) text += *subject;
  text += QLatin1Char('|');
  text += QString::fromLatin1(metricKey.data(), static_cast<qsizetype>(metricKey.size()));
  return text;
}

double Finding::duration() const {
  return seconds(end) - seconds(start);
}

QJsonObject Finding::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("kind"), FindingKinds::toJson(kind));
  object.insert(QStringLiteral("severity"), Severities::toJson(severity));
  object.insert(QStringLiteral("metric"), Metric::toJson(metric));
  object.insert(QStringLiteral("start"), dateJson(start));
  object.insert(QStringLiteral("end"), dateJson(end));
  object.insert(QStringLiteral("threshold"), threshold);
  object.insert(QStringLiteral("peak"), peak);
  object.insert(QStringLiteral("mean"), mean);
  object.insert(QStringLiteral("sampleCount"), static_cast<qint64>(sampleCount));
  if (subject) object.insert(QStringLiteral("subject"), *subject);
  if (projected) object.insert(QStringLiteral("projected"), dateJson(*projected));
  object.insert(QStringLiteral("occurrences"), static_cast<qint64>(occurrences));
  if (concurrent) object.insert(QStringLiteral("concurrent"), static_cast<qint64>(*concurrent));
  return object;
}

std::optional<Finding> Finding::fromJson(const QJsonObject& object, QString* error) {
  const auto kind = FindingKinds::fromJson(object.value(QStringLiteral("kind")));
  if (!kind) JsonFields::fail(error, QStringLiteral("\"kind\" is not a known finding kind"));
  const auto severity = Severities::fromJson(object.value(QStringLiteral("severity")));
  if (!severity) JsonFields::fail(error, QStringLiteral("\"severity\" must be 0, 1 or 2"));
  const auto metric = Metric::fromJson(object.value(QStringLiteral("metric")));
  if (!metric) JsonFields::fail(error, QStringLiteral("\"metric\" is not a known metric"));
  const auto start = dateField(object, "start", error);
  const auto end = dateField(object, "end", error);
  const auto threshold = JsonFields::required<double>(object, "threshold", error);
  const auto peak = JsonFields::required<double>(object, "peak", error);
  const auto mean = JsonFields::required<double>(object, "mean", error);
  const auto sampleCount = JsonFields::required<std::int64_t>(object, "sampleCount", error);
  const auto occurrences = JsonFields::required<std::int64_t>(object, "occurrences", error);

  std::optional<QString> subject;
  bool optionalsOk = true;
  if (object.contains(QStringLiteral("subject"))) {
    subject = JsonFields::required<QString>(object, "subject", error);
    optionalsOk = optionalsOk && subject.has_value();
  }
  std::optional<QDateTime> projected;
  if (object.contains(QStringLiteral("projected"))) {
    projected = dateField(object, "projected", error);
    optionalsOk = optionalsOk && projected.has_value();
  }
  std::optional<std::int64_t> concurrent;
  if (object.contains(QStringLiteral("concurrent"))) {
    concurrent = JsonFields::required<std::int64_t>(object, "concurrent", error);
    optionalsOk = optionalsOk && concurrent.has_value();
  }
  if (!kind || !severity || !metric || !start || !end || !threshold || !peak || !mean || !sampleCount ||
      !occurrences || !optionalsOk) {
    return std::nullopt;
  }
  return Finding{*kind, *severity,    *metric, *start,    *end,         *threshold, *peak,
                 *mean, *sampleCount, subject, projected, *occurrences, concurrent};
}

}  // namespace kivo
