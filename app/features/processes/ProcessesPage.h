#pragma once

#include "collectors/ProcessSample.h"
#include "features/processes/ProcessEntries.h"
#include "features/processes/ProcessHistory.h"
#include "features/processes/ProcessRows.h"
#include "platform/AppLeaders.h"

#include <QWidget>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QHBoxLayout;
class QLineEdit;
class QTableView;
class QToolButton;

namespace kivo {

class AppSettings;
class FileManager;
class MonitorModel;
class ProcessActions;
class ProcessInspector;
class ProcessSelection;
class ProcessTableModel;
class QuitConfirmation;
class SegmentedControl;
class ToneLabel;

// The processes page: the model's last process sample in a sortable, searchable table narrowed
// by a scope, with the inspector of the selected process at its right edge. Built once and
// updated in place on every process sample.
class ProcessesPage : public QWidget {
  Q_OBJECT

 public:
  // actions: how a process is ended (the shell's; tests pass a recorder).
  ProcessesPage(MonitorModel& model, AppSettings& settings, ProcessActions& actions,
                QWidget* parent = nullptr);
  ~ProcessesPage() override;

  ProcessScope scope() const { return query_.scope; }
  void setScope(ProcessScope scope);
  void setSearch(const QString& search);
  std::optional<std::int32_t> selection() const;
  // Selects a row's pid as a click would (tests and the context menu).
  void select(std::optional<std::int32_t> pid);
  const ProcessHistory& history() const { return history_; }
  const std::unordered_set<std::int32_t>& apps() const { return leaders_.pids(); }
  // The first record of the sample with that pid, regardless of scope and search.
  const ProcessRecord* find(std::int32_t pid) const;
  // An entry for one process, as the context menu and the inspector run it. Quitting asks first
  // in a window-modal box; the record is the one the entry was built for.
  void trigger(ProcessEntry entry, const ProcessRecord& record);
  ProcessTableModel& tableModel() const { return *table_; }
  // Shows or hides a column, as the header's context menu does (the name column always stays).
  void setColumnShown(ProcessColumn column, bool shown);
  bool columnShown(ProcessColumn column) const;
  QTableView* tableView() const { return view_; }
  // Replaces the file manager (tests script it); null is ignored.
  void setFileManager(std::unique_ptr<FileManager> fileManager);
  // How long a quit request may take before the page offers Force Quit (tests shorten it).
  void setQuitWait(std::chrono::milliseconds wait);
  // The cgroup reader for "Apps" (tests point it at a fixture tree).
  void setProcRoot(std::string procRoot);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The header bar (scope, count, search, inspector toggle), the table and the note on other
  // users' processes, each built into the list column.
  QWidget* buildBar(QWidget* list);
  QTableView* buildTable(QWidget* list);
  QWidget* buildNote(QWidget* list);
  void onProcesses();
  void updateLeaders();
  void refreshRows();
  void refreshHeader();
  void refreshInspector();
  void layoutInspector();
  void fitNote();
  void placeTrailing();
  const ProcessRecord* selected() const;
  void fitColumns();
  void placeEmpty();

  MonitorModel& model_;
  AppSettings& settings_;
  ProcessQuery query_;
  bool showInspector_ = true;
  std::int32_t ownPID_ = 0;
  QString home_;
  std::unique_ptr<FileManager> fileManager_;
  AppLeaders leaders_;
  ProcessHistory history_;
  std::array<bool, kProcessColumnCount> hidden_{};
  bool columnsByUser_ = false;
  bool fitting_ = false;
  std::vector<ProcessRow> spare_;
  std::vector<std::int32_t> order_;

  ProcessTableModel* table_ = nullptr;
  ProcessSelection* selection_ = nullptr;
  QTableView* view_ = nullptr;
  SegmentedControl* scopes_ = nullptr;
  QWidget* trailing_ = nullptr;
  QHBoxLayout* barRow_ = nullptr;
  QHBoxLayout* barWrap_ = nullptr;
  ToneLabel* count_ = nullptr;
  QLineEdit* search_ = nullptr;
  QToolButton* inspectorToggle_ = nullptr;
  QWidget* noteDivider_ = nullptr;
  QWidget* note_ = nullptr;
  ToneLabel* noteText_ = nullptr;
  ToneLabel* empty_ = nullptr;
  QWidget* inspectorDivider_ = nullptr;
  ProcessInspector* inspector_ = nullptr;
  QuitConfirmation* ending_ = nullptr;
};

}  // namespace kivo
