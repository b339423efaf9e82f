#pragma once

#include "shell/AppSection.h"

#include <QWidget>

#include <map>

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

  const MonitorModel& model_;
  std::map<AppSection, SidebarRow*> rows_;
  QButtonGroup* group_ = nullptr;
  SamplingFooter* footer_ = nullptr;
};

}  // namespace kivo
