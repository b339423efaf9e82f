#pragma once

#include "design/LiveSeries.h"
#include "design/Page.h"

#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace kivo {

class AppSettings;
class KeyValueRow;
class KeyedGrid;
class LatencyRunner;
class LiveChart;
class MonitorModel;
class PageHeader;
class Readout;
class SymbolView;
class ToneLabel;

// The network section: throughput, Wi-Fi link, DNS and routing, interfaces, the latency test,
// connectivity changes. Built once; every figure is refreshed in place from the model.
class NetworkPage : public Page {
  Q_OBJECT

 public:
  NetworkPage(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);
  // Tests give the latency runner a probe of their own.
  NetworkPage(MonitorModel& model, AppSettings& settings, LatencyRunner* runner, QWidget* parent = nullptr);

  LatencyRunner& latency() const { return *runner_; }

 private:
  void build();
  QWidget* buildLatencyCard();
  void refreshSnapshot();
  void refreshLive();
  void refreshWiFi();
  void refreshDNS();
  void refreshInterfaces();
  void refreshChanges();
  void refreshLatency();

  MonitorModel& model_;
  AppSettings& settings_;
  LatencyRunner* runner_;
  bool showInactive_ = false;
  bool wifiLooked_ = false;

  PageHeader* header_ = nullptr;
  Readout* down_ = nullptr;
  Readout* up_ = nullptr;
  LiveChart* chart_ = nullptr;
  std::vector<LiveSeries> series_;
  std::vector<KeyValueRow*> wifiRows_;
  ToneLabel* wifiMessage_ = nullptr;
  std::vector<KeyValueRow*> dnsRows_;
  QCheckBox* showInactive_box_ = nullptr;
  KeyedGrid* interfaces_ = nullptr;
  ToneLabel* noChanges_ = nullptr;
  struct ChangeLineView {
    QWidget* row;
    SymbolView* symbol;
    ToneLabel* title;
    ToneLabel* interfaces;
    ToneLabel* time;
  };
  std::vector<ChangeLineView> changes_;
  QLineEdit* host_ = nullptr;
  QPushButton* run_ = nullptr;
  QWidget* failureRow_ = nullptr;
  ToneLabel* failure_ = nullptr;
  QWidget* figuresRow_ = nullptr;
  std::vector<Readout*> figures_;
};

}  // namespace kivo
