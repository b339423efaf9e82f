#include "reporting/ReportGenerator.h"

#include <cmath>

namespace kivo::ReportGenerator {

ReportTable compare(const Report& a, const Report& b, const ValueFormatter& f, const Localize& L) {
  ReportTable table;
  table.title = L(QStringLiteral("Comparison"));
  for (const char* header : {"Metric", "Average A", "Average B", "Change", "Peak A", "Peak B"})
    table.headers.append(L(QString::fromLatin1(header)));
  const QString none = QStringLiteral("—");
  for (const auto& s : a.series) {
    const ReportSeriesSummary* t = nullptr;
    for (const auto& candidate : b.series) {
      if (candidate.metric == s.metric) {
        t = &candidate;
        break;
      }
    }
    if (!t) continue;
    // Every value in the unit of report a, as the report itself shows it (levels by name).
    const auto value = [&](const std::optional<double>& v) {
      return v ? display(*v, s.metric, s.unit, f, L) : none;
    };
    QString change = none;
    // A ratio of level numbers means nothing: the two names say the change.
    if (s.unit != MetricUnit::level && s.average && t->average && *s.average != 0) {
      // From a tiny average the ratio can run to hundreds of digits: beyond a millionfold it
      // is said as a bound that fits the cell.
      constexpr double kLargest = 1e8;
      const double percent = (*t->average - *s.average) / std::fabs(*s.average) * 100.0;
      if (percent > kLargest)
        change = u'>' + f.percent(kLargest, 0);
      else if (percent < -kLargest)
        change = u'<' + f.percent(-kLargest, 0);
      else
        change = f.percent(percent, 1);
    }
    table.rows.append(
        {s.name, value(s.average), value(t->average), change, value(s.maximum), value(t->maximum)});
  }
  return table;
}

}  // namespace kivo::ReportGenerator
