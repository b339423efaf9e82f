#pragma once

#include "design/Card.h"
#include "settings/WidgetConfig.h"

#include <memory>
#include <vector>

class QVBoxLayout;
class QWidget;

namespace kivo {

class MonitorModel;
class ToneLabel;

// One tile of the dashboard: a card titled by its kind with live figures for that kind. Each kind
// has its own view under widgets/, built once; refresh() reads the model again through the kind's
// presenter function and updates the figures in place.
class WidgetView : public Card {
  Q_OBJECT

 public:
  // The view of `kind`. The model must outlive it.
  static WidgetView* create(MonitorModel& model, WidgetKind kind, WidgetSize size, QWidget* parent = nullptr);

  WidgetKind kind() const { return kind_; }
  WidgetSize size() const { return size_; }
  // Sparkline windows and the swap row follow the size.
  void setSize(WidgetSize size);
  virtual void refresh() = 0;

  // The model's change signals a kind reads (a tick refreshes only the views that need it).
  enum Source : unsigned { snapshot = 1, live = 2, processes = 4, firing = 8, findings = 16, settings = 32 };
  static unsigned sources(WidgetKind kind);

  static constexpr int kSmallWindow = 60;
  static constexpr int kWideWindow = 120;

 protected:
  WidgetView(MonitorModel& model, WidgetKind kind, WidgetSize size, QWidget* parent);

  bool event(QEvent* event) override;
  // Meters take a fixed colour: a view that has them reads the colour-blind choice again here.
  virtual void applyColors() {}

  MonitorModel& model() const { return model_; }
  // The stack the view's parts go into, spaced for its kind.
  QWidget* column() const { return column_; }
  QVBoxLayout* columnLayout() const;
  // "Collecting samples…", centred in the column.
  ToneLabel* addWaiting();
  // The newest `last` values of a live series, into the view's own buffer.
  const std::vector<double>& tail(MetricID metric, int last, std::vector<double>& into) const;

 private:
  MonitorModel& model_;
  WidgetKind kind_;
  WidgetSize size_;
  QWidget* column_ = nullptr;
};

}  // namespace kivo
