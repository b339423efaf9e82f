#pragma once

#include "design/Card.h"

#include <vector>

class QLabel;
class QVBoxLayout;

namespace kivo {

struct ReportPreview;
class ReportTableView;
class ToneLabel;

// The preview of a built report: its title and period, the metric table, a titled table per
// section, the findings in their severity's colour and the limitations. Built once; a new
// preview gives the sections it keeps their new texts and drops only the surplus ones.
class ReportPreviewCard : public Card {
  Q_OBJECT

 public:
  explicit ReportPreviewCard(QWidget* parent = nullptr);

  void setPreview(const ReportPreview& preview);

 private:
  QLabel* title_ = nullptr;
  ToneLabel* period_ = nullptr;
  ReportTableView* metricTable_ = nullptr;
  QVBoxLayout* tablesColumn_ = nullptr;
  struct TableSection {
    QWidget* frame;
    ToneLabel* title;
    ReportTableView* view;
  };
  std::vector<TableSection> tableSections_;
  QWidget* findingsFrame_ = nullptr;
  QVBoxLayout* findingsColumn_ = nullptr;
  std::vector<QWidget*> findingLines_;
  QVBoxLayout* limitationsColumn_ = nullptr;
  std::vector<ToneLabel*> limitationLines_;
};

}  // namespace kivo
