#pragma once

#include "collectors/ProcessSample.h"
#include "metrics/ValueFormatter.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <unordered_map>
#include <vector>

class QVBoxLayout;

namespace kivo {

class ToneLabel;

// The processes that weigh most on the CPU or on memory: up to seven rows, each a name, its
// figure and a bar scaled to the first row. Rows are kept by pid and updated in place.
class ProcessContribution : public QWidget {
  Q_OBJECT

 public:
  static constexpr std::size_t kRows = 7;

  struct Row {
    std::int32_t pid = 0;
    QString name;    // shown verbatim
    QString figure;  // "12.5 %" or "1.2 GiB"
    double fraction = 0;
    bool operator==(const Row&) const = default;
  };

  explicit ProcessContribution(bool byMemory, QWidget* parent = nullptr);

  // The rows of a sample, largest first (the shared top-process ranking); none without a sample.
  static std::vector<Row> rows(const ProcessSample* sample, bool byMemory, const ValueFormatter& format);
  // The note under the list: by CPU only.
  static QString note(bool byMemory);

  void setSample(const ProcessSample* sample, const ValueFormatter& format);
  const std::vector<Row>& shownRows() const { return rows_; }
  bool byMemory() const { return byMemory_; }

 private:
  class RowView;

  bool byMemory_;
  std::vector<Row> rows_;
  std::unordered_map<std::int32_t, RowView*> views_;
  QVBoxLayout* list_ = nullptr;
  ToneLabel* empty_ = nullptr;
};

}  // namespace kivo
