#include "storage/Series.h"

#include "metrics/JsonFields.h"
#include "storage/StoreTime.h"

#include <QJsonArray>
#include <QJsonValue>

#include <algorithm>
#include <cmath>

namespace kivo {

QDateTime SeriesPoint::date() const {
  return StoreTime::date(time);
}

QJsonObject SeriesPoint::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("time"), time);
  object.insert(QStringLiteral("min"), min);
  object.insert(QStringLiteral("max"), max);
  object.insert(QStringLiteral("avg"), avg);
  object.insert(QStringLiteral("count"), QJsonValue(static_cast<qint64>(count)));
  return object;
}

std::optional<SeriesPoint> SeriesPoint::fromJson(const QJsonObject& object) {
  const QJsonValue time = object.value(QStringLiteral("time"));
  const QJsonValue min = object.value(QStringLiteral("min"));
  const QJsonValue max = object.value(QStringLiteral("max"));
  const QJsonValue avg = object.value(QStringLiteral("avg"));
  const auto count = JsonFields::required<std::int64_t>(object, "count");
  if (!time.isDouble() || !min.isDouble() || !max.isDouble() || !avg.isDouble() || !count)
    return std::nullopt;
  return SeriesPoint{time.toDouble(), min.toDouble(), max.toDouble(), avg.toDouble(), *count};
}

QJsonObject SeriesGap::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("start"), start);
  object.insert(QStringLiteral("end"), end);
  return object;
}

std::optional<SeriesGap> SeriesGap::fromJson(const QJsonObject& object) {
  const QJsonValue start = object.value(QStringLiteral("start"));
  const QJsonValue end = object.value(QStringLiteral("end"));
  if (!start.isDouble() || !end.isDouble()) return std::nullopt;
  return SeriesGap{start.toDouble(), end.toDouble()};
}

std::int64_t Series::sampleCount() const {
  std::int64_t total = 0;
  for (const SeriesPoint& point : points) total += point.count;
  return total;
}

std::optional<double> Series::minimum() const {
  if (points.empty()) return std::nullopt;
  double value = points.front().min;
  for (const SeriesPoint& point : points) value = std::min(value, point.min);
  return value;
}

std::optional<double> Series::maximum() const {
  if (points.empty()) return std::nullopt;
  double value = points.front().max;
  for (const SeriesPoint& point : points) value = std::max(value, point.max);
  return value;
}

std::optional<double> Series::average() const {
  double weighted = 0;
  double total = 0;
  for (const SeriesPoint& point : points) {
    weighted += point.avg * static_cast<double>(point.count);
    total += static_cast<double>(point.count);
  }
  if (points.empty() || total <= 0) return std::nullopt;
  // The rounding of the division can land a step outside what the points span.
  const double mean = weighted / total;
  const double low = *minimum();
  const double high = *maximum();
  return low <= high ? std::clamp(mean, low, high) : mean;
}

QJsonObject Series::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("metric"), Metric::toJson(metric));
  object.insert(QStringLiteral("tier"), StoreTiers::toJson(tier));
  object.insert(QStringLiteral("step"), step);
  QJsonArray pointArray;
  for (const SeriesPoint& point : points) pointArray.append(point.toJson());
  object.insert(QStringLiteral("points"), pointArray);
  QJsonArray gapArray;
  for (const SeriesGap& gap : gaps) gapArray.append(gap.toJson());
  object.insert(QStringLiteral("gaps"), gapArray);
  return object;
}

std::optional<Series> Series::fromJson(const QJsonObject& object) {
  const auto metric = Metric::fromJson(object.value(QStringLiteral("metric")));
  const auto tier = StoreTiers::fromJson(object.value(QStringLiteral("tier")));
  const QJsonValue step = object.value(QStringLiteral("step"));
  const QJsonValue points = object.value(QStringLiteral("points"));
  const QJsonValue gaps = object.value(QStringLiteral("gaps"));
  if (!metric || !tier || !step.isDouble() || !points.isArray() || !gaps.isArray()) return std::nullopt;

  Series series;
  series.metric = *metric;
  series.tier = *tier;
  series.step = step.toDouble();
  for (const QJsonValue& entry : points.toArray()) {
    if (!entry.isObject()) return std::nullopt;
    auto point = SeriesPoint::fromJson(entry.toObject());
    if (!point) return std::nullopt;
    series.points.push_back(*point);
  }
  for (const QJsonValue& entry : gaps.toArray()) {
    if (!entry.isObject()) return std::nullopt;
    auto gap = SeriesGap::fromJson(entry.toObject());
    if (!gap) return std::nullopt;
    series.gaps.push_back(*gap);
  }
  return series;
}

}  // namespace kivo
