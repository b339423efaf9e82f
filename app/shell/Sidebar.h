#pragma once

#include "shell/AppSection.h"

#include <QWidget>

#include <map>
#include <vector>

class QButtonGroup;

namespace kivo {

class MonitorModel;
class SamplingFooter;
class SidebarRow;

// The list of sections: overview, then the "Hardware" and "Analysis" groups, with live badges,
// and the sampling footer at the bottom. Rows are built once; figures update in place.
class Sidebar : public QWidget {
  Q_OBJECT
 public:
  explicit Sidebar(const MonitorModel& model, QWidget* parent = nullptr);

  void select(AppSection section);
  SidebarRow* row(AppSection section) const { return rows_.at(section); }
  SamplingFooter* footer() const { return footer_; }

 signals:
  void sectionSelected(AppSection section);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void refresh();
  // Opens and focuses the row `step` rows away from `from`, if there is one.
  void selectNext(AppSection from, int step);

  const MonitorModel& model_;
  std::map<AppSection, SidebarRow*> rows_;
  std::vector<AppSection> order_;  // as shown
  QButtonGroup* group_ = nullptr;
  SamplingFooter* footer_ = nullptr;
};

}  // namespace kivo
