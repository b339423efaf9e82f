#pragma once

#include "features/processes/ProcessEntries.h"

#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;
class QStackedLayout;

namespace kivo {

class Card;
class ElidedLabel;
class KeyValueRow;
class PathText;
class ProcessHistory;
class Readout;
class Sparkline;
class ToneLabel;
class ValueFormatter;
struct ProcessRecord;

// The right-hand pane of the process page: the selected process's name and lineage, its CPU and
// memory with the page's own history of them, details, executable and actions. Built once;
// show() updates it in place.
class ProcessInspector : public QWidget {
  Q_OBJECT

 public:
  struct View {
    const ProcessRecord* record = nullptr;  // absent: "No process selected"
    QString lineage;
    bool mask = false;
    QString home;
    std::vector<ProcessEntry> entries;
  };

  // The formatter must outlive the pane.
  explicit ProcessInspector(const ValueFormatter& format, QWidget* parent = nullptr);

  void show(const View& view, const ProcessHistory& history);

 signals:
  void entryTriggered(ProcessEntry entry);

 private:
  const ValueFormatter& format_;
  QStackedLayout* stack_ = nullptr;
  QWidget* empty_ = nullptr;
  QWidget* content_ = nullptr;
  ElidedLabel* name_ = nullptr;
  ElidedLabel* lineage_ = nullptr;
  Card* cpuCard_ = nullptr;
  Readout* cpu_ = nullptr;
  Sparkline* cpuLine_ = nullptr;
  Card* memoryCard_ = nullptr;
  Readout* memory_ = nullptr;
  Sparkline* memoryLine_ = nullptr;
  Card* detailsCard_ = nullptr;
  KeyValueRow* threads_ = nullptr;
  KeyValueRow* cpuTime_ = nullptr;
  KeyValueRow* read_ = nullptr;
  KeyValueRow* written_ = nullptr;
  KeyValueRow* power_ = nullptr;
  KeyValueRow* user_ = nullptr;
  KeyValueRow* started_ = nullptr;
  Card* restrictedCard_ = nullptr;
  KeyValueRow* restrictedUser_ = nullptr;
  PathText* path_ = nullptr;
  std::vector<QPushButton*> buttons_;  // by ProcessEntry
};

}  // namespace kivo
