#pragma once

#include "design/Card.h"
#include "settings/WidgetConfig.h"

#include <QPointer>

#include <array>
#include <vector>

class QLabel;
class QWidget;

namespace kivo {

class CoreBars;
class DualSparkline;
class KeyValueRow;
class MemoryBar;
class Meter;
class MonitorModel;
class PressureBadge;
class Readout;
class Sparkline;
class ThermalScale;
class ToneLabel;
class UnavailableRow;
class WidgetLine;

// One tile of the dashboard: a card titled by its kind with live figures for that kind. Built
// once for its kind; refresh() reads the model again and updates the figures in place.
class WidgetView : public Card {
  Q_OBJECT

 public:
  // The model must outlive the view.
  WidgetView(MonitorModel& model, WidgetKind kind, WidgetSize size, QWidget* parent = nullptr);

  WidgetKind kind() const { return kind_; }
  WidgetSize size() const { return size_; }
  // Sparkline windows and the swap row follow the size.
  void setSize(WidgetSize size);
  void refresh();

  // The model's change signals a kind reads (a tick refreshes only the views that need it).
  enum Source : unsigned { snapshot = 1, live = 2, processes = 4, firing = 8, findings = 16, settings = 32 };
  static unsigned sources(WidgetKind kind);

  static constexpr int kSmallWindow = 60;
  static constexpr int kWideWindow = 120;

 protected:
  bool event(QEvent* event) override;

 private:
  struct Figure;
  void build();
  QWidget* addColumn(int spacing);
  ToneLabel* addWaiting(QWidget* column);
  void applyColors();

  void refreshCPU();
  void refreshCores();
  void refreshGPU();
  void refreshMemory();
  void refreshDisk();
  void refreshDual(MetricID a, MetricID b);
  void refreshBattery();
  void refreshThermal();
  void refreshTop(bool byMemory);
  void refreshSystem();
  void refreshAlerts();
  void refreshOverhead();
  // The newest `last` values of a live series, into the view's own buffer.
  const std::vector<double>& tail(MetricID metric, int last, std::vector<double>& into) const;

  MonitorModel& model_;
  WidgetKind kind_;
  WidgetSize size_;

  QWidget* column_ = nullptr;
  ToneLabel* waiting_ = nullptr;
  Readout* readout_ = nullptr;
  Readout* second_ = nullptr;
  ToneLabel* caption_ = nullptr;
  Sparkline* sparkline_ = nullptr;
  DualSparkline* dual_ = nullptr;
  CoreBars* cores_ = nullptr;
  PressureBadge* pressure_ = nullptr;
  MemoryBar* memoryBar_ = nullptr;
  Meter* meter_ = nullptr;
  ThermalScale* thermal_ = nullptr;
  UnavailableRow* unavailable_ = nullptr;
  UnavailableRow* noFigure_ = nullptr;
  QWidget* figures_ = nullptr;  // the part hidden while an unavailable row stands in
  QWidget* batteryPart_ = nullptr;
  QWidget* acPart_ = nullptr;
  std::vector<KeyValueRow*> rows_;
  std::vector<WidgetLine*> lines_;
  struct VolumeBlock {
    QWidget* block = nullptr;
    WidgetLine* line = nullptr;
    Meter* meter = nullptr;
  };
  std::vector<VolumeBlock> volumes_;
  QWidget* calm_ = nullptr;
  WidgetLine* calmTitle_ = nullptr;
  ToneLabel* watched_ = nullptr;
  ToneLabel* findings_ = nullptr;
  std::vector<double> bufferA_;
  std::vector<double> bufferB_;
};

}  // namespace kivo
