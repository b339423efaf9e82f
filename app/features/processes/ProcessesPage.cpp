#include "features/processes/ProcessesPage.h"

#include "design/Accessibility.h"
#include "design/BareLayout.h"
#include "design/Hairline.h"
#include "design/Icons.h"
#include "design/SegmentedControl.h"
#include "design/SymbolView.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/processes/FileManager.h"
#include "features/processes/ProcessInspector.h"
#include "features/processes/ProcessSelection.h"
#include "features/processes/ProcessTableInput.h"
#include "features/processes/ProcessTableLook.h"
#include "features/processes/ProcessTableModel.h"
#include "features/processes/ProcessText.h"
#include "features/processes/QuitConfirmation.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "settings/LaunchOptions.h"
#include "texts/Localized.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <unistd.h>

namespace kivo {

ProcessesPage::ProcessesPage(MonitorModel& model, AppSettings& settings, ProcessActions& actions,
                             QWidget* parent)
    : QWidget(parent),
      model_(model),
      settings_(settings),
      ownPID_(static_cast<std::int32_t>(::getpid())),
      home_(QDir::homePath()),
      fileManager_(std::make_unique<FileManager>()) {
  query_.scope = ProcessScopes::initial(LaunchOptions::testMode(model.standard()));
  query_.uid = static_cast<std::uint32_t>(::getuid());
  ending_ = new QuitConfirmation(*this, actions, [this](std::int32_t pid) { return find(pid); });

  auto* row = bareRow(this, 0);

  auto* list = new QWidget(this);
  // The list takes what the inspector leaves and never makes the page wider than its window.
  list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* listColumn = bareColumn(list, 0);

  listColumn->addWidget(buildBar(list));
  listColumn->addWidget(new Hairline(Qt::Horizontal, list));
  listColumn->addWidget(buildTable(list), 1);
  // The note on other users' processes.
  noteDivider_ = new Hairline(Qt::Horizontal, list);
  listColumn->addWidget(noteDivider_);
  listColumn->addWidget(buildNote(list));

  row->addWidget(list, 1);
  inspectorDivider_ = new Hairline(Qt::Vertical, this);
  row->addWidget(inspectorDivider_);
  inspector_ = new ProcessInspector(model_.format(), this);
  connect(inspector_, &ProcessInspector::entryTriggered, this, [this](ProcessEntry entry) {
    if (const ProcessRecord* record = selected()) trigger(entry, ProcessRecord(*record));
  });
  row->addWidget(inspector_);
  view_->setFocus();

  connect(&model_, &MonitorModel::processesChanged, this, &ProcessesPage::onProcesses);
  connect(&settings_, &AppSettings::privacyMaskChanged, this, [this] {
    table_->setPrivacyMask(settings_.privacyMask());
    refreshInspector();
  });

  updateLeaders();
  refreshRows();
  refreshInspector();
  layoutInspector();
}

QWidget* ProcessesPage::buildBar(QWidget* list) {
  auto* bar = new QWidget(list);
  auto* barColumn = new QVBoxLayout(bar);
  barColumn->setContentsMargins(16, 8, 16, 8);
  barColumn->setSpacing(8);
  auto* barRow = new QHBoxLayout();
  barRow->setSpacing(12);
  barColumn->addLayout(barRow);
  barWrap_ = new QHBoxLayout();
  barWrap_->setSpacing(12);
  barColumn->addLayout(barWrap_);
  // The count, search and toggle: beside the scope, or under it when the list is narrow.
  trailing_ = new QWidget(bar);
  auto* trailingRow = bareRow(trailing_, 12);
  auto* picker = scopes_ = new SegmentedControl(bar);
  picker->setObjectName(QStringLiteral("processes.scope"));
  picker->setAccessibleName(kivo::tr("Show"));
  for (ProcessScope scope : ProcessScopes::pickerOrder()) {
    picker->addSegment(static_cast<int>(scope), ProcessScopes::title(scope),
                       QStringLiteral("processes.scope.") + ProcessScopes::rawValue(scope));
  }
  picker->setCurrent(static_cast<int>(query_.scope));
  connect(picker, &SegmentedControl::chosen, this,
          [this](int id) { setScope(static_cast<ProcessScope>(id)); });
  barRow->addWidget(picker);
  barRow->addStretch(1);
  barRow->addWidget(trailing_);
  barRow_ = barRow;
  trailingRow->addStretch(1);
  count_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, trailing_);
  count_->setObjectName(QStringLiteral("processes.count"));
  count_->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
  trailingRow->addWidget(count_);
  search_ = new QLineEdit(trailing_);
  search_->setObjectName(QStringLiteral("processes.search"));
  search_->setPlaceholderText(kivo::tr("Name, PID or path"));
  Accessibility::nameAfterPlaceholder(search_);
  search_->setClearButtonEnabled(true);
  search_->setMinimumWidth(90);
  search_->setMaximumWidth(220);
  search_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  connect(search_, &QLineEdit::textEdited, this, [this](const QString& text) { setSearch(text); });
  trailingRow->addWidget(search_);
  inspectorToggle_ = new QToolButton(trailing_);
  inspectorToggle_->setObjectName(QStringLiteral("processes.inspectorToggle"));
  inspectorToggle_->setText(kivo::tr("Inspector"));
  inspectorToggle_->setToolTip(kivo::tr("Show or hide the process inspector"));
  inspectorToggle_->setIcon(
      Icons::icon(QStringLiteral("sidebar.trailing"), ChartColor::of(Palette::textSecondary), this));
  inspectorToggle_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  inspectorToggle_->setCheckable(true);
  inspectorToggle_->setChecked(showInspector_);
  // Its own change, not a click: a screen reader's Toggle action checks it without one. Nothing
  // else sets it.
  connect(inspectorToggle_, &QToolButton::toggled, this, [this](bool checked) {
    showInspector_ = checked;
    layoutInspector();
  });
  trailingRow->addWidget(inspectorToggle_);
  return bar;
}

QTableView* ProcessesPage::buildTable(QWidget* list) {
  table_ = new ProcessTableModel(model_.format(), this);
  table_->setPrivacyMask(settings_.privacyMask());
  view_ = new QTableView(list);
  view_->setObjectName(QStringLiteral("processes.table"));
  view_->setAccessibleName(kivo::tr("Processes"));
  view_->setModel(table_);
  selection_ = new ProcessSelection(*view_, *table_, this);
  connect(selection_, &ProcessSelection::changed, this, [this](std::optional<std::int32_t> pid) {
    history_.reset(pid);
    refreshInspector();
  });
  view_->setItemDelegate(ProcessTableLook::nameDelegate(view_));
  view_->setFrameShape(QFrame::NoFrame);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view_->setShowGrid(false);
  view_->setWordWrap(false);
  view_->setAlternatingRowColors(true);
  view_->verticalHeader()->hide();
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view_->verticalHeader()->setDefaultSectionSize(24);
  QHeaderView* header = view_->horizontalHeader();
  header->setMinimumSectionSize(48);
  header->setHighlightSections(false);
  // Sized by fitColumns(): the table scrolls sideways only when the columns cannot fit.
  header->setStretchLastSection(false);
  QStyle* gap = ProcessTableLook::columnGapStyle(this);
  header->setStyle(gap);
  view_->setStyle(gap);
  for (int column = 0; column < kProcessColumnCount; ++column) {
    const auto width = ProcessRows::columnWidth(static_cast<ProcessColumn>(column));
    header->setSectionResizeMode(column, width.resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
    header->resizeSection(column, width.ideal);
    hidden_[static_cast<std::size_t>(column)] =
        ProcessRows::hiddenByDefault(static_cast<ProcessColumn>(column));
    header->setSectionHidden(column, hidden_[static_cast<std::size_t>(column)]);
  }
  // Resizable columns keep their own minimum (the header has one for all). A column the user
  // resized is left as it is from then on.
  connect(header, &QHeaderView::sectionResized, this, [this, header](int column, int, int size) {
    if (fitting_) return;
    columnsByUser_ = true;
    const auto width = ProcessRows::columnWidth(static_cast<ProcessColumn>(column));
    if (width.resizable && size < width.minimum) header->resizeSection(column, width.minimum);
  });
  view_->viewport()->installEventFilter(this);
  table_->onSort = [this](int column, Qt::SortOrder order) {
    query_.sort =
        ProcessRows::sortBy(query_.sort, static_cast<ProcessColumn>(column), order == Qt::DescendingOrder);
    refreshRows();
  };
  header->setSortIndicator(static_cast<int>(ProcessColumn::cpu), Qt::DescendingOrder);
  view_->setSortingEnabled(true);
  auto* input = new ProcessTableInput(*this, *view_, *table_, *selection_, query_.uid, ownPID_);
  connect(input, &ProcessTableInput::leave, this, [this](bool next) { focusNextPrevChild(next); });
  empty_ = new ToneLabel(QString(), Typeface::system(12), Palette::textSecondary, view_->viewport());
  empty_->setObjectName(QStringLiteral("processes.empty"));
  empty_->setWordWrap(true);
  empty_->setAlignment(Qt::AlignCenter);
  empty_->hide();
  return view_;
}

QWidget* ProcessesPage::buildNote(QWidget* list) {
  note_ = new QWidget(list);
  note_->setObjectName(QStringLiteral("processes.restricted"));
  note_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* noteRow = new QHBoxLayout(note_);
  noteRow->setContentsMargins(16, 6, 16, 6);
  noteRow->setSpacing(6);
  auto* lock = new SymbolView(QStringLiteral("lock"), ChartColor::of(Palette::textSecondary), 11, note_);
  lock->setObjectName(QStringLiteral("processes.restricted.lock"));
  noteRow->addWidget(lock, 0, Qt::AlignTop);
  noteText_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, note_);
  noteText_->setWordWrap(true);
  noteRow->addWidget(noteText_, 1);
  return note_;
}

ProcessesPage::~ProcessesPage() = default;

void ProcessesPage::setProcRoot(std::string procRoot) {
  leaders_ = AppLeaders(std::move(procRoot));
  onProcesses();
}

std::optional<std::int32_t> ProcessesPage::selection() const {
  return selection_->pid();
}

const ProcessRecord* ProcessesPage::selected() const {
  const std::optional<std::int32_t> pid = selection_->pid();
  return pid ? find(*pid) : nullptr;
}

const ProcessRecord* ProcessesPage::find(std::int32_t pid) const {
  const ProcessSample* sample = model_.processes();
  if (!sample) return nullptr;
  for (const ProcessRecord& record : sample->processes) {
    if (record.pid == pid) return &record;
  }
  return nullptr;
}

void ProcessesPage::updateLeaders() {
  const ProcessSample* sample = model_.processes();
  if (!sample) return;
  leaders_.begin(query_.uid);
  for (const ProcessRecord& record : sample->processes) {
    leaders_.see(record.pid, record.parentPID, record.uid, record.startTime);
  }
  leaders_.finish();
}

void ProcessesPage::onProcesses() {
  updateLeaders();
  refreshRows();
  const auto& snapshot = model_.snapshot();
  history_.record(selection(), selected(), snapshot ? std::optional(snapshot->date) : std::nullopt);
  refreshInspector();
}

void ProcessesPage::setScope(ProcessScope scope) {
  scopes_->setCurrent(static_cast<int>(scope));
  if (query_.scope == scope) return;
  query_.scope = scope;
  refreshRows();
}

void ProcessesPage::setSearch(const QString& search) {
  if (search_->text() != search) {
    const QSignalBlocker blocker(search_);
    search_->setText(search);
  }
  if (query_.search == search) return;
  query_.search = search;
  refreshRows();
}

void ProcessesPage::refreshRows() {
  ProcessRows::build(model_.processes(), query_, leaders_.pids(), spare_, order_);
  selection_->apply(spare_);
  refreshHeader();
}

void ProcessesPage::refreshHeader() {
  if (!note_) return;  // the first sort runs while the page is still being built
  const ProcessSample* sample = model_.processes();
  count_->setText(
      ProcessRows::countText(static_cast<int>(table_->rows().size()), sample ? sample->total : 0));
  const std::optional<QString> note = ProcessRows::restrictedNote(sample, query_.scope, query_.uid);
  noteDivider_->setVisible(note.has_value());
  note_->setVisible(note.has_value());
  if (note && noteText_->text() != *note) noteText_->setText(*note);
  fitNote();
  const std::optional<QString> empty =
      sample ? ProcessRows::emptyText(query_.scope, leaders_.pids()) : std::nullopt;
  if (empty && empty_->text() != *empty) empty_->setText(*empty);
  empty_->setVisible(empty.has_value());
  placeEmpty();
}

void ProcessesPage::placeEmpty() {
  if (!empty_ || !empty_->isVisibleTo(this)) return;
  const QRect area = view_->viewport()->rect().adjusted(24, 24, -24, -24);
  const int height = empty_->heightForWidth(area.width());
  empty_->setGeometry(area.left(), area.top(), area.width(), std::min(area.height(), std::max(height, 0)));
}

void ProcessesPage::fitColumns() {
  if (columnsByUser_) return;
  const int available = view_->viewport()->width();
  QHeaderView* header = view_->horizontalHeader();
  // What does not fit at its least width is left out rather than scrolled to; the headers'
  // tooltip names it.
  const std::array<bool, kProcessColumnCount> dropped = ProcessRows::droppedForWidth(available, hidden_);
  std::array<bool, kProcessColumnCount> out = hidden_;
  QStringList leftOut;
  fitting_ = true;  // hiding a section resizes it, and that is not the user's doing
  for (int column = 0; column < kProcessColumnCount; ++column) {
    const auto index = static_cast<std::size_t>(column);
    out[index] = hidden_[index] || dropped[index];
    if (dropped[index]) leftOut << ProcessRows::columnTitle(static_cast<ProcessColumn>(column));
    if (header->isSectionHidden(column) != out[index]) header->setSectionHidden(column, out[index]);
  }
  table_->setLeftOut(leftOut);
  const std::array<int, kProcessColumnCount> widths = ProcessRows::fittedWidths(available, out);
  for (int column = 0; column < kProcessColumnCount; ++column) {
    if (header->sectionSize(column) != widths[static_cast<std::size_t>(column)]) {
      header->resizeSection(column, widths[static_cast<std::size_t>(column)]);
    }
  }
  fitting_ = false;
}

bool ProcessesPage::columnShown(ProcessColumn column) const {
  return !hidden_[static_cast<std::size_t>(column)];
}

void ProcessesPage::setQuitWait(std::chrono::milliseconds wait) {
  ending_->setQuitWait(wait);
}

void ProcessesPage::setColumnShown(ProcessColumn column, bool shown) {
  const auto index = static_cast<std::size_t>(column);
  if (column == ProcessColumn::name || hidden_[index] == !shown) return;
  hidden_[index] = !shown;
  view_->horizontalHeader()->setSectionHidden(static_cast<int>(column), !shown);
  fitColumns();
  layoutInspector();
}

void ProcessesPage::refreshInspector() {
  ProcessInspector::View view;
  view.record = selected();
  if (view.record) {
    view.lineage = ProcessText::lineage(*view.record, [this](std::int32_t pid) { return find(pid); });
    view.mask = settings_.privacyMask();
    view.home = home_;
    view.entries = ProcessEntries::entries(*view.record, query_.uid, ownPID_);
  }
  inspector_->show(view, history_);
  layoutInspector();
}

void ProcessesPage::layoutInspector() {
  if (!inspector_) return;  // a resize while the page is still being built
  const bool empty = selected() == nullptr;
  const std::optional<int> width = ProcessRows::inspectorWidth(this->width(), showInspector_, empty,
                                                               ProcessRows::keyColumnsWidth(hidden_));
  inspectorDivider_->setVisible(width.has_value());
  inspector_->setVisible(width.has_value());
  if (width) inspector_->setFixedWidth(*width);
  placeTrailing();
  fitNote();
}

void ProcessesPage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutInspector();
}

void ProcessesPage::placeTrailing() {
  if (!trailing_) return;
  const int list = width() - (inspector_->isVisibleTo(this) ? inspector_->width() + 1 : 0);
  const int needed = 32 + scopes_->sizeHint().width() + 12 + trailing_->minimumSizeHint().width();
  const bool wrap = list < needed;
  QHBoxLayout* target = wrap ? barWrap_ : barRow_;
  if (target->indexOf(trailing_) >= 0) return;
  (wrap ? barRow_ : barWrap_)->removeWidget(trailing_);
  target->addWidget(trailing_, wrap ? 1 : 0);
}

void ProcessesPage::fitNote() {
  // The list's width is what the inspector leaves; the note wraps to it and keeps all its lines.
  if (!note_ || !note_->isVisibleTo(this)) return;
  const int list = width() - (inspector_->isVisibleTo(this) ? inspector_->width() + 1 : 0);
  const QMargins margins = note_->layout()->contentsMargins();
  const int text = std::max(40, list - margins.left() - margins.right() - 6 - 11);
  note_->setFixedHeight(noteText_->heightForWidth(text) + margins.top() + margins.bottom());
}

void ProcessesPage::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), Palette::canvas.resolve(this));
}

void ProcessesPage::select(std::optional<std::int32_t> pid) {
  selection_->select(pid);
}

bool ProcessesPage::eventFilter(QObject* watched, QEvent* event) {
  if (view_ && watched == view_->viewport() && event->type() == QEvent::Resize) {
    fitColumns();
    placeEmpty();
  }
  return QWidget::eventFilter(watched, event);
}

void ProcessesPage::trigger(ProcessEntry entry, const ProcessRecord& record) {
  switch (entry) {
    case ProcessEntry::showInFileManager:
      if (record.path) {
        const QString path = *record.path;
        fileManager_->showItem(path, this, [this, path](bool shown) {
          if (!shown)
            ending_->tell(QStringLiteral("processes.noFileManager"), ProcessEntries::noFileManagerTitle(),
                          ProcessEntries::noFileManagerText(path));
        });
      }
      break;
    case ProcessEntry::copyPID:
      QApplication::clipboard()->clear();
      QApplication::clipboard()->setText(QString::number(record.pid));
      break;
    case ProcessEntry::quit:
      ending_->confirm(ProcessAction::quit, record);
      break;
    case ProcessEntry::forceQuit:
      ending_->confirm(ProcessAction::forceQuit, record);
      break;
  }
}

void ProcessesPage::setFileManager(std::unique_ptr<FileManager> fileManager) {
  if (fileManager) fileManager_ = std::move(fileManager);
}

}  // namespace kivo
