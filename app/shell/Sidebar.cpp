#include "shell/Sidebar.h"

#include "design/Accessibility.h"
#include "design/Appearance.h"
#include "design/BareLayout.h"
#include "design/Tokens.h"
#include "model/MonitorModel.h"
#include "shell/RootPresenter.h"
#include "shell/SamplingFooter.h"
#include "shell/SidebarRow.h"
#include "texts/Localized.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace kivo {

namespace {

class GroupHeading : public QWidget {
 public:
  GroupHeading(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    setAccessibleName(text);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  }
  QSize sizeHint() const override { return {120, 28}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setFont(Typeface::system(11, QFont::DemiBold));
    painter.setPen(Palette::textTertiary.resolve(Appearance::isDark(this)));
    painter.drawText(rect().adjusted(14, 8, -10, 0), Qt::AlignLeft | Qt::AlignVCenter, text_);
  }

 private:
  QString text_;
};

}  // namespace

Sidebar::Sidebar(const MonitorModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName(QStringLiteral("sidebar"));
  group_ = new QButtonGroup(this);
  group_->setExclusive(true);

  auto* list = new QWidget;
  list->setAutoFillBackground(false);
  list->setAccessibleName(kivo::tr("Sections"));
  Accessibility::setRole(list, QAccessible::PageTabList);
  auto* rows = new QVBoxLayout(list);
  rows->setContentsMargins(6, 8, 6, 8);
  rows->setSpacing(1);
  auto add = [&](AppSection section) {
    auto* row = new SidebarRow(section, list);
    rows_.emplace(section, row);
    group_->addButton(row);
    rows->addWidget(row);
    connect(row, &QAbstractButton::toggled, this, [this, section](bool checked) {
      if (checked) emit sectionSelected(section);
    });
    connect(row, &SidebarRow::stepRequested, this, [this, section](int step) { selectNext(section, step); });
    order_.push_back(section);
  };
  add(AppSection::overview);
  rows->addWidget(new GroupHeading(kivo::tr("Hardware"), list));
  for (AppSection section : AppSections::hardware()) add(section);
  rows->addWidget(new GroupHeading(kivo::tr("Analysis"), list));
  for (AppSection section : AppSections::analysis()) add(section);
  rows->addStretch(1);

  auto* scroll = new QScrollArea(this);
  scroll->setWidget(list);
  // The sidebar paints its own surface behind the list.
  list->setAutoFillBackground(false);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setFocusPolicy(Qt::NoFocus);  // the rows are the Tab stops
  scroll->viewport()->setAutoFillBackground(false);

  footer_ = new SamplingFooter(model, this);
  auto* layout = bareColumn(this, 0);
  layout->addWidget(scroll, 1);
  layout->addWidget(footer_);

  for (auto changed :
       {&MonitorModel::snapshotChanged, &MonitorModel::liveChanged, &MonitorModel::processesChanged,
        &MonitorModel::firingChanged, &MonitorModel::findingsChanged}) {
    connect(&model, changed, this, &Sidebar::refresh);
  }
  refresh();
}

void Sidebar::select(AppSection section) {
  rows_.at(section)->setChecked(true);
}

void Sidebar::selectNext(AppSection from, int step) {
  const auto at = std::find(order_.begin(), order_.end(), from);
  const auto index = (at - order_.begin()) + step;
  if (index < 0 || index >= std::ssize(order_)) return;
  SidebarRow* next = rows_.at(order_[std::size_t(index)]);
  next->click();
  next->setFocus(Qt::TabFocusReason);
}

void Sidebar::refresh() {
  const RootPresenter::BadgeFigures figures = RootPresenter::BadgeFigures::of(model_);
  for (auto& [section, row] : rows_) {
    row->setFigures(RootPresenter::badge(section, figures, model_.format()),
                    RootPresenter::alertCapsule(section, figures),
                    RootPresenter::insightCount(section, figures));
  }
}

void Sidebar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool dark = Appearance::isDark(this);
  painter.fillRect(rect(), Palette::surface.resolve(dark));
}

}  // namespace kivo
