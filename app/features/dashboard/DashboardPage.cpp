#include "features/dashboard/DashboardPage.h"

#include "design/BareLayout.h"
#include "design/Environment.h"
#include "design/Icons.h"
#include "design/MenuButton.h"
#include "design/SymbolView.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/dashboard/FlowGrid.h"
#include "features/dashboard/WidgetCatalog.h"
#include "features/dashboard/WidgetCell.h"
#include "features/dashboard/WidgetView.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <set>

namespace kivo {

namespace {

QToolButton* headerButton(QWidget* parent, const char* objectName, const char* textKey,
                          QToolButton* button = nullptr) {
  if (button == nullptr) button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(objectName));
  button->setText(kivo::tr(textKey));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setIconSize(QSize(15, 15));
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  return button;
}

}  // namespace

// "No widgets": what a preset without widgets shows under its header.
class DashboardPage::EmptyState : public QWidget {
 public:
  explicit EmptyState(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("dashboard.empty"));
    setMinimumHeight(240);
    auto* column = new QVBoxLayout(this);
    column->setSpacing(6);
    column->addStretch(1);
    column->addWidget(
        new SymbolView(QStringLiteral("square.grid.2x2"), ChartColor::of(Palette::textSecondary), 40, this),
        0, Qt::AlignHCenter);
    auto* title =
        new ToneLabel(kivo::tr("No widgets"), Typeface::system(17, QFont::Bold), Palette::textPrimary, this);
    title->setAlignment(Qt::AlignCenter);
    column->addWidget(title);
    text_ =
        new ToneLabel(DashboardEditor::emptyText(false), Typeface::system(13), Palette::textSecondary, this);
    text_->setObjectName(QStringLiteral("dashboard.empty.text"));
    text_->setAlignment(Qt::AlignCenter);
    text_->setWordWrap(true);
    column->addWidget(text_);
    column->addStretch(1);
  }

  void setEditing(bool editing) { text_->setText(DashboardEditor::emptyText(editing)); }

 private:
  ToneLabel* text_ = nullptr;
};

DashboardPage::DashboardPage(MonitorModel& model, AppSettings& settings, QWidget* parent)
    : DashboardPage(model, settings, settings.selectedPreset(), false, parent) {}

DashboardPage::DashboardPage(MonitorModel& model, AppSettings& settings, const QUuid& presetID, bool detached,
                             QWidget* parent)
    : Page(parent), model_(model), settings_(settings), editor_(settings, presetID, detached) {
  buildHeader();

  gridHost_ = new QWidget(content());
  gridHost_->setObjectName(QStringLiteral("dashboard.grid"));
  grid_ = new FlowGrid(gridHost_);
  addWidget(gridHost_);
  empty_ = new EmptyState(content());
  addWidget(empty_);
  applyDensity();

  connect(&settings, &AppSettings::presetsChanged, this, &DashboardPage::sync);
  connect(&settings, &AppSettings::builtInOverridesChanged, this, &DashboardPage::sync);
  connect(&settings, &AppSettings::selectedPresetChanged, this, [this] {
    if (editor_.followSelection()) sync();
  });
  connect(&settings, &AppSettings::telemetryChanged, this, [this] { refreshSources(WidgetView::settings); });
  connect(&settings, &AppSettings::rulesChanged, this, [this] { refreshSources(WidgetView::settings); });
  connect(&model, &MonitorModel::snapshotChanged, this, [this] { refreshSources(WidgetView::snapshot); });
  connect(&model, &MonitorModel::liveChanged, this, [this] { refreshSources(WidgetView::live); });
  connect(&model, &MonitorModel::processesChanged, this, [this] { refreshSources(WidgetView::processes); });
  connect(&model, &MonitorModel::firingChanged, this, [this] { refreshSources(WidgetView::firing); });
  connect(&model, &MonitorModel::findingsChanged, this, [this] { refreshSources(WidgetView::findings); });
  sync();
}

void DashboardPage::buildHeader() {
  auto* header = new QWidget(content());
  header->setObjectName(QStringLiteral("dashboard.header"));
  auto* row = bareRow(header, 12);

  auto* names = new QWidget(header);
  auto* column = bareColumn(names, 1);
  title_ = new ToneLabel(QString(), Typeface::system(20, QFont::Bold), Palette::textPrimary, names);
  title_->setObjectName(QStringLiteral("dashboard.title"));
  title_->setTextFormat(Qt::PlainText);
  systemLine_ = new ToneLabel(DashboardEditor::systemLine(model_.system(), model_.format()),
                              Typeface::system(12), Palette::textSecondary, names);
  systemLine_->setObjectName(QStringLiteral("dashboard.system"));
  systemLine_->setTextFormat(Qt::PlainText);
  // A narrow window cuts the name and wraps the system line rather than scrolling sideways.
  title_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  title_->setMinimumWidth(1);
  systemLine_->setWordWrap(true);
  column->addWidget(title_);
  column->addWidget(systemLine_);
  row->addWidget(names, 1);

  layoutButton_ = headerButton(header, "dashboard.layout", "Layout", new MenuButton(header));
  layoutMenu_ = new QMenu(layoutButton_);
  layoutButton_->setMenu(layoutMenu_);
  connect(layoutMenu_, &QMenu::aboutToShow, this, &DashboardPage::buildLayoutMenu);
  row->addWidget(layoutButton_);

  addButton_ = headerButton(header, "dashboard.add", "Add Widget", new MenuButton(header));
  auto* addMenu = new QMenu(addButton_);
  for (WidgetKind kind : WidgetKinds::allCases()) {
    const ChartColor tint = ChartColor::of(WidgetCatalog::family(kind));
    QAction* action =
        addMenu->addAction(Icons::icon(WidgetCatalog::symbol(kind), tint, this), WidgetCatalog::title(kind));
    action->setData(WidgetKinds::rawString(kind));
    connect(action, &QAction::triggered, this, [this, kind] { editor_.add(kind); });
  }
  addButton_->setMenu(addMenu);
  addButton_->hide();
  row->addWidget(addButton_);

  editButton_ = headerButton(header, "dashboard.edit", "Edit");
  editButton_->setCheckable(true);
  editButton_->setAutoRaise(true);
  connect(editButton_, &QToolButton::toggled, this, &DashboardPage::setEditing);
  row->addWidget(editButton_);

  const ChartColor tint = ChartColor::of(Palette::textPrimary);
  layoutButton_->setIcon(Icons::icon(QStringLiteral("rectangle.3.group"), tint, this));
  addButton_->setIcon(Icons::icon(QStringLiteral("plus"), tint, this));
  editButton_->setIcon(Icons::icon(QStringLiteral("slider.horizontal.3"), tint, this));
  addWidget(header);
}

void DashboardPage::buildLayoutMenu() {
  layoutMenu_->clear();
  using Role = LayoutMenuEntry::Role;
  for (const LayoutMenuEntry& entry : editor_.layoutMenu()) {
    if (entry.role == Role::divider) {
      layoutMenu_->addSeparator();
      continue;
    }
    QAction* action = layoutMenu_->addAction(entry.text);
    switch (entry.role) {
      case Role::preset: {
        // The shown preset carries a check mark; names are user text, so no mnemonics.
        action->setText(QString(entry.text).replace(QLatin1Char('&'), QStringLiteral("&&")));
        if (entry.checked)
          action->setIcon(
              Icons::icon(QStringLiteral("checkmark"), ChartColor::of(Palette::textPrimary), this));
        action->setData(entry.presetID);
        const QUuid id = entry.presetID;
        connect(action, &QAction::triggered, this, [this, id] { select(id); });
        break;
      }
      case Role::saveAs:
        connect(action, &QAction::triggered, this, [this] { openSavePrompt(); });
        break;
      case Role::reset:
      case Role::remove:
        connect(action, &QAction::triggered, this, [this] {
          editor_.resetOrDelete();
          sync();
        });
        break;
      case Role::openWindow:
        connect(action, &QAction::triggered, this, [this] { emit openWindowRequested(editor_.presetID()); });
        break;
      case Role::divider:
        break;
    }
  }
}

void DashboardPage::select(const QUuid& id) {
  editor_.select(id);
  sync();
}

void DashboardPage::setEditing(bool editing) {
  editing_ = editing;
  if (editButton_->isChecked() != editing) {
    const QSignalBlocker blocker(editButton_);
    editButton_->setChecked(editing);
  }
  addButton_->setVisible(editing);
  empty_->setEditing(editing);
  for (const auto& [id, cell] : cells_) cell->setEditing(editing);
}

void DashboardPage::move(const QUuid& dragged, const QUuid& target) {
  if (!editor_.move(dragged, target)) return;
  if (dropTarget_) {
    if (const auto it = cells_.find(*dropTarget_); it != cells_.end()) it->second->setDropTarget(false);
  }
  dropTarget_.reset();
}

void DashboardPage::setDropTarget(const QUuid& target, bool hovering) {
  if (hovering) {
    if (dropTarget_ && *dropTarget_ != target) {
      if (const auto it = cells_.find(*dropTarget_); it != cells_.end()) it->second->setDropTarget(false);
    }
    dropTarget_ = target;
  } else if (dropTarget_ == target) {
    dropTarget_.reset();
  }
  if (const auto it = cells_.find(target); it != cells_.end())
    it->second->setDropTarget(dropTarget_ == target);
}

QDialog* DashboardPage::openSavePrompt() {
  if (prompt_) prompt_->deleteLater();
  auto* dialog = new QDialog(this);
  dialog->setObjectName(QStringLiteral("dashboard.savePrompt"));
  dialog->setWindowTitle(kivo::tr("Save Layout As"));
  dialog->setWindowModality(Qt::WindowModal);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  auto* column = new QVBoxLayout(dialog);
  auto* title = new QLabel(kivo::tr("Save Layout As"), dialog);
  title->setFont(Typeface::system(13, QFont::Bold));
  column->addWidget(title);
  auto* name = new QLineEdit(dialog);
  name->setObjectName(QStringLiteral("dashboard.saveName"));
  name->setPlaceholderText(kivo::tr("Name"));
  name->setMinimumWidth(260);
  column->addWidget(name);
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* save = buttons->addButton(kivo::tr("Save"), QDialogButtonBox::AcceptRole);
  save->setObjectName(QStringLiteral("dashboard.save"));
  save->setDefault(true);
  buttons->addButton(kivo::tr("Cancel"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("dashboard.cancel"));
  column->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  const QPointer<DashboardPage> page(this);
  connect(dialog, &QDialog::accepted, this, [page, name] {
    if (!page) return;
    if (page->editor_.saveAs(name->text())) page->sync();
  });
  prompt_ = dialog;
  dialog->open();
  return dialog;
}

QList<WidgetCell*> DashboardPage::cells() const {
  QList<WidgetCell*> list;
  for (QWidget* widget : grid_->widgets()) list.append(static_cast<WidgetCell*>(widget));
  return list;
}

void DashboardPage::sync() {
  editor_.adoptShownPreset();
  const DashboardPreset preset = editor_.preset();
  const QString name = DashboardEditor::displayName(preset);
  if (title_->text() != name) title_->setText(name);

  std::set<QUuid> kept;
  QList<QWidget*> order;
  for (const WidgetConfig& config : preset.widgets) {
    if (!kept.insert(config.id).second) continue;
    auto it = cells_.find(config.id);
    if (it == cells_.end() || it->second->kind() != config.kind) {
      if (it != cells_.end()) {
        grid_->removeWidget(it->second);
        it->second->deleteLater();
        cells_.erase(it);
      }
      auto* cell = new WidgetCell(model_, config, gridHost_);
      cell->setEditing(editing_);
      connect(cell, &WidgetCell::resizeRequested, this,
              [this](const QUuid& id, WidgetSize size) { editor_.resize(id, size); });
      connect(cell, &WidgetCell::shiftRequested, this,
              [this](const QUuid& id, int step) { editor_.shift(id, step); });
      connect(cell, &WidgetCell::removeRequested, this, [this](const QUuid& id) { editor_.remove(id); });
      connect(cell, &WidgetCell::dropped, this, &DashboardPage::move);
      connect(cell, &WidgetCell::hoverChanged, this, &DashboardPage::setDropTarget);
      grid_->addWidget(cell, WidgetCatalog::span(config.size));
      cell->show();
      it = cells_.emplace(config.id, cell).first;
    }
    it->second->setSize(config.size);
    grid_->setSpan(it->second, WidgetCatalog::span(config.size));
    order.append(it->second);
  }
  for (auto it = cells_.begin(); it != cells_.end();) {
    if (kept.count(it->first)) {
      ++it;
      continue;
    }
    grid_->removeWidget(it->second);
    it->second->hide();
    it->second->deleteLater();
    if (dropTarget_ == it->first) dropTarget_.reset();
    it = cells_.erase(it);
  }
  grid_->setOrder(order);
  gridHost_->setVisible(!preset.widgets.empty());
  empty_->setVisible(preset.widgets.empty());
  buildLayoutMenu();
}

void DashboardPage::refreshSources(unsigned sources) {
  for (const auto& [id, cell] : cells_) {
    if (WidgetView::sources(cell->kind()) & sources) cell->view()->refresh();
  }
}

void DashboardPage::applyDensity() {
  grid_->setMetrics(FlowGrid::Metrics::forDensity(Environment::density(this)));
}

bool DashboardPage::event(QEvent* event) {
  if (event->type() == Environment::changedEventType() || event->type() == QEvent::ParentChange)
    applyDensity();
  return Page::event(event);
}

}  // namespace kivo
