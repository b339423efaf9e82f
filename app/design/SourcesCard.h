#pragma once

#include "design/Card.h"
#include "metrics/Metric.h"

#include <span>
#include <vector>

namespace kivo {

// "Sources and methods": for each metric a page shows, its name and quality badge, the Linux
// source it is read from, and how it is computed; entries divided by hairlines.
class SourcesCard : public Card {
  Q_OBJECT

 public:
  // In the given order; a metric listed twice is shown once.
  explicit SourcesCard(std::span<const MetricID> metrics, QWidget* parent = nullptr);

  const std::vector<MetricID>& metrics() const { return metrics_; }
  // What a screen reader says for one entry: name, quality, source and method.
  static QString accessibleText(const MetricDescriptor& descriptor);

 private:
  std::vector<MetricID> metrics_;
};

}  // namespace kivo
