#include "features/history/HistoryPage.h"

#include "design/Accessibility.h"
#include "design/AdaptiveRowLayout.h"
#include "design/BareLayout.h"
#include "design/Card.h"
#include "design/Environment.h"
#include "design/Icons.h"
#include "design/PageHeader.h"
#include "design/SegmentedControl.h"
#include "design/SymbolView.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/history/HistoryChart.h"
#include "features/history/HistoryChartCard.h"
#include "features/history/HistoryExport.h"
#include "features/history/HistoryFileDialogs.h"
#include "features/history/HistoryPresenter.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kivo {

namespace {

constexpr int kNothing = 0;
constexpr int kIndented = Qt::UserRole + 1;

// Draws a family's metrics indented under its heading with the combo box's own delegate, so the
// names themselves carry no leading spaces for a screen reader to spell out.
class IndentedItems : public QAbstractItemDelegate {
 public:
  IndentedItems(QAbstractItemDelegate* drawn, QObject* parent)
      : QAbstractItemDelegate(parent), drawn_(drawn) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!drawn_) return;
    if (!indented(index)) {
      drawn_->paint(painter, option, index);
      return;
    }
    QStyleOptionViewItem shifted(option);
    shifted.rect.setLeft(option.rect.left() + indent(option));
    painter->fillRect(QRect(option.rect.topLeft(), QSize(indent(option), option.rect.height())),
                      option.palette.window());
    drawn_->paint(painter, shifted, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!drawn_) return {};
    QSize size = drawn_->sizeHint(option, index);
    if (indented(index)) size.rwidth() += indent(option);
    return size;
  }

 private:
  static bool indented(const QModelIndex& index) { return index.data(kIndented).toBool(); }
  static int indent(const QStyleOptionViewItem& option) {
    return option.fontMetrics.horizontalAdvance(QLatin1Char('M'));
  }
  QPointer<QAbstractItemDelegate> drawn_;
};

// The metric pickers: a bold, unselectable header per family, then its metrics (data: raw value).
void fillMetrics(QComboBox* combo, bool withNothing) {
  auto* items = new QStandardItemModel(combo);
  if (withNothing) {
    auto* nothing = new QStandardItem(tr("Nothing"));
    nothing->setData(kNothing, Qt::UserRole);
    items->appendRow(nothing);
  }
  for (const HistoryPresenter::MetricGroup& group : HistoryPresenter::metricGroups()) {
    auto* header = new QStandardItem(HistoryPresenter::familyName(group.family));
    header->setFlags(Qt::NoItemFlags);
    QFont bold = combo->font();
    bold.setBold(true);
    header->setFont(bold);
    items->appendRow(header);
    for (MetricID metric : group.metrics) {
      auto* item = new QStandardItem(HistoryPresenter::metricName(metric));
      item->setData(Metric::rawValue(metric), Qt::UserRole);
      item->setData(true, kIndented);
      item->setToolTip(HistoryPresenter::metricName(metric));
      items->appendRow(item);
    }
  }
  combo->setModel(items);
  // Set on the view, which keeps the box's own delegate alive for this one to draw with.
  combo->view()->setItemDelegate(new IndentedItems(combo->itemDelegate(), combo));
}

void selectData(QComboBox* combo, int raw) {
  const int index = combo->findData(raw, Qt::UserRole);
  if (index >= 0 && index != combo->currentIndex()) combo->setCurrentIndex(index);
}

}  // namespace

HistoryPage::HistoryPage(MonitorModel& model, AppSettings& settings, QWidget* parent)
    : Page(parent), model_(model), settings_(settings), dialogs_(HistoryFileDialogs::standard()) {
  header_ = new PageHeader(QStringLiteral("History"), std::nullopt, MetricFamily::system,
                           QStringLiteral("chart.xyaxis.line"));
  addWidget(header_);
  writeFailure_ = new ToneLabel(QString(), Typeface::system(12), Palette::danger);
  writeFailure_->setObjectName(QStringLiteral("history.writeFailure"));
  writeFailure_->setWordWrap(true);
  writeFailure_->hide();
  addWidget(writeFailure_);
  buildControls();

  cardsHost_ = new QWidget;
  cardsLayout_ = bareColumn(cardsHost_, static_cast<int>(kSpacing));
  cardsHost_->hide();
  addWidget(cardsHost_);

  status_ = new QWidget;
  status_->setObjectName(QStringLiteral("history.loading"));
  status_->setMinimumHeight(200);
  auto* statusLayout = new QVBoxLayout(status_);
  progress_ = new QProgressBar(status_);
  progress_->setRange(0, 0);
  progress_->setTextVisible(false);
  progress_->setMaximumWidth(320);
  statusLayout->addWidget(progress_, 0, Qt::AlignCenter);
  unavailable_ = new ToneLabel(QString(), Typeface::system(12), Palette::textSecondary, status_);
  unavailable_->setObjectName(QStringLiteral("history.unavailable"));
  unavailable_->setWordWrap(true);
  unavailable_->setAlignment(Qt::AlignCenter);
  statusLayout->addWidget(unavailable_);
  addWidget(status_);

  bookmarksCard_ = new Card(QStringLiteral("Bookmarks in this range"));
  bookmarksCard_->setObjectName(QStringLiteral("history.bookmarks"));
  noBookmark_ = new ToneLabel(QString(), Typeface::system(12), Palette::textSecondary);
  noBookmark_->setObjectName(QStringLiteral("history.noBookmark"));
  noBookmark_->setWordWrap(true);
  bookmarksCard_->addContent(noBookmark_);
  auto* rows = new QWidget;
  bookmarkRows_ = bareColumn(rows, 6);
  bookmarksCard_->addContent(rows);
  addWidget(bookmarksCard_);

  auto* kept = new Card(QStringLiteral("How history is kept"));
  kept->setObjectName(QStringLiteral("history.retention"));
  retention_ = new ToneLabel(QString(), Typeface::system(12), Palette::textSecondary);
  retention_->setWordWrap(true);
  kept->addContent(retention_);
  addWidget(kept);

  connect(&model_, &MonitorModel::eventsRevisionChanged, this, &HistoryPage::reload);
  connect(&model_, &MonitorModel::storeStatisticsChanged, this, &HistoryPage::refreshSubtitle);
  connect(&model_, &MonitorModel::storeErrorChanged, this, [this] {
    // A history that opens late is read as soon as it is there.
    if (model_.hasHistory() && !loaded_) reload();
    refreshStatus();
  });
  connect(&settings_, &AppSettings::retentionChanged, this, &HistoryPage::refreshRetention);

  refreshSubtitle();
  refreshRetention();
  reload_->setIcon(
      Icons::icon(QStringLiteral("arrow.clockwise"), ChartColor::of(Palette::textPrimary), this));
  reload();
}

HistoryPage::~HistoryPage() = default;

void HistoryPage::buildControls() {
  // Pickers on the left, range and Reload on the right; stacked when the page is narrow.
  auto* controls = new QWidget;
  controls->setObjectName(QStringLiteral("history.controls"));
  auto* rows = new AdaptiveRowLayout(12, 1000, false, controls);
  auto* pickers = new QWidget(controls);
  auto* row = bareRow(pickers, 12);
  auto* metricLabel = new ToneLabel(tr("Metric"), Typeface::system(12), Palette::textSecondary, pickers);
  row->addWidget(metricLabel);
  metric_ = new QComboBox(pickers);
  metric_->setObjectName(QStringLiteral("history.metric"));
  Accessibility::labelWith(metric_, metricLabel);
  metric_->setMaximumWidth(260);
  metric_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  metric_->setMinimumContentsLength(14);
  fillMetrics(metric_, false);
  selectData(metric_, Metric::rawValue(primary_));
  row->addWidget(metric_);

  auto* compareLabel =
      new ToneLabel(tr("Compare with"), Typeface::system(12), Palette::textSecondary, pickers);
  row->addWidget(compareLabel);
  compare_ = new QComboBox(pickers);
  compare_->setObjectName(QStringLiteral("history.compare"));
  Accessibility::labelWith(compare_, compareLabel);
  compare_->setMaximumWidth(280);
  compare_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  compare_->setMinimumContentsLength(14);
  fillMetrics(compare_, true);
  selectData(compare_, kNothing);
  row->addWidget(compare_);
  row->addStretch(1);
  rows->addWidget(pickers);

  auto* choices = new QWidget(controls);
  row = bareRow(choices, 12);
  row->addStretch(1);

  ranges_ = new SegmentedControl(choices);
  ranges_->setObjectName(QStringLiteral("history.range"));
  ranges_->setAccessibleName(tr("Range"));
  for (HistoryRange range : HistoryRanges::allCases()) {
    ranges_->addSegment(static_cast<int>(range), HistoryRanges::title(range),
                        QStringLiteral("history.range.") + HistoryRanges::rawValue(range));
  }
  ranges_->setCurrent(static_cast<int>(range_));
  row->addWidget(ranges_);

  reload_ = new QPushButton(tr("Reload"), choices);
  reload_->setObjectName(QStringLiteral("history.reload"));
  reload_->setToolTip(tr("Reload from the store"));
  row->addWidget(reload_);
  rows->addWidget(choices);
  addWidget(controls);

  // Only the user's picks change the choices; filling the pickers writes nothing back.
  connect(metric_, &QComboBox::activated, this, [this](int index) {
    const auto metric = Metric::fromRawValue(metric_->itemData(index, Qt::UserRole).toInt());
    if (metric) choosePrimary(*metric);
  });
  connect(compare_, &QComboBox::activated, this, [this](int index) {
    chooseSecondary(Metric::fromRawValue(compare_->itemData(index, Qt::UserRole).toInt()));
  });
  connect(ranges_, &SegmentedControl::chosen, this,
          [this](int id) { chooseRange(static_cast<HistoryRange>(id)); });
  connect(reload_, &QPushButton::clicked, this, &HistoryPage::reload);
}

void HistoryPage::choosePrimary(MetricID metric) {
  {
    const QSignalBlocker blocker(metric_);
    selectData(metric_, Metric::rawValue(metric));
  }
  if (metric == primary_) return;
  primary_ = metric;
  reload();
}

void HistoryPage::chooseSecondary(std::optional<MetricID> metric) {
  {
    const QSignalBlocker blocker(compare_);
    selectData(compare_, metric ? Metric::rawValue(*metric) : kNothing);
  }
  if (metric == secondary_) return;
  secondary_ = metric;
  reload();
}

void HistoryPage::chooseRange(HistoryRange range) {
  ranges_->setCurrent(static_cast<int>(range));
  if (range == range_) return;
  range_ = range;
  reload();
}

QString HistoryPage::loadIdentity() const {
  return HistoryPresenter::loadIdentity(range_, primary_, secondary_, model_.eventsRevision());
}

void HistoryPage::reload() {
  refreshStatus();
  if (!model_.hasHistory()) return;
  const std::uint64_t number = ++requests_;
  const HistoryRange range = range_;
  const std::vector<MetricID> metrics = HistoryPresenter::metricsToLoad(primary_, secondary_);
  const QDateTime now = QDateTime::currentDateTimeUtc();
  model_.query(
      this,
      [range, metrics, now](TimeSeriesStore& store) { return HistoryLoad::read(store, range, metrics, now); },
      [this, number](HistoryLoad load) {
        // A load superseded by a newer request is dropped: the page shows the newest choices.
        if (number != requests_) return;
        if (!load.loaded) {
          refreshStatus();
          return;
        }
        apply(std::move(load));
      });
}

void HistoryPage::apply(HistoryLoad load) {
  loaded_ = std::move(load);
  syncCards();
  syncBookmarks();
  refreshStatus();
  emit loadApplied();
}

void HistoryPage::syncCards() {
  const std::vector<Series>& series = loaded_->series;
  // Cards are kept per metric; a card whose metric is no longer loaded goes.
  std::vector<HistoryChartCard*> kept;
  for (HistoryChartCard* card : cards_) {
    const bool wanted = std::any_of(series.begin(), series.end(),
                                    [&](const Series& s) { return s.metric == card->metric(); });
    if (wanted) {
      kept.push_back(card);
    } else {
      cardsLayout_->removeWidget(card);
      card->hide();
      card->deleteLater();
    }
  }
  std::vector<HistoryChartCard*> ordered;
  const std::vector<double> bookmarks = loaded_->bookmarkTimes();
  for (const Series& one : series) {
    auto found = std::find_if(kept.begin(), kept.end(),
                              [&](HistoryChartCard* card) { return card->metric() == one.metric; });
    HistoryChartCard* card = nullptr;
    if (found != kept.end()) {
      card = *found;
    } else {
      card =
          new HistoryChartCard(one.metric, model_.format(),
                               HistoryPresenter::producible(one.metric, model_.capabilities()), cardsHost_);
      const MetricID metric = one.metric;
      connect(card, &HistoryChartCard::hoverMoved, this, &HistoryPage::setHover);
      connect(card, &HistoryChartCard::exportCSVRequested, this, [this, metric] { exportCSV(metric); });
      connect(card, &HistoryChartCard::exportPNGRequested, this, [this, metric] { exportPNG(metric); });
    }
    card->setSeries(one, loaded_->from, loaded_->to, bookmarks);
    card->setHover(hover_);
    ordered.push_back(card);
  }
  for (std::size_t i = 0; i < ordered.size(); ++i) {
    if (cardsLayout_->indexOf(ordered[i]) != static_cast<int>(i)) {
      cardsLayout_->removeWidget(ordered[i]);
      cardsLayout_->insertWidget(static_cast<int>(i), ordered[i]);
    }
    ordered[i]->show();
  }
  cards_ = std::move(ordered);
  // Compared charts keep one plot left edge, so the shared pointer line marks one instant on both.
  double labels = 0;
  for (HistoryChartCard* card : cards_) labels = std::max(labels, card->chart()->labelWidth());
  for (HistoryChartCard* card : cards_) card->chart()->setMinimumLabelWidth(labels);
  cardsHost_->setVisible(!cards_.empty());
}

void HistoryPage::syncBookmarks() {
  const std::vector<StoredEvent>& bookmarks = loaded_->bookmarks;
  std::map<std::int64_t, QWidget*> rows;
  for (const StoredEvent& bookmark : bookmarks) {
    auto found = bookmarkWidgets_.find(bookmark.id);
    if (found != bookmarkWidgets_.end()) {
      rows.emplace(bookmark.id, found->second);
      bookmarkWidgets_.erase(found);
      continue;
    }
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("history.bookmark.") + QString::number(bookmark.id));
    auto* layout = bareRow(row);
    layout->addWidget(
        new SymbolView(QStringLiteral("bookmark.fill"), ChartColor::of(Palette::accent), 14, row));
    auto* date =
        new ToneLabel(model_.format().date(bookmark.date), Typeface::value(), Palette::textPrimary, row);
    layout->addWidget(date);
    auto* note = new ToneLabel(HistoryPresenter::bookmarkNote(bookmark), Typeface::system(12),
                               Palette::textSecondary, row);
    note->setObjectName(QStringLiteral("note"));
    layout->addWidget(note, 1);
    auto* remove = new QToolButton(row);
    remove->setObjectName(QStringLiteral("history.bookmark.delete"));
    remove->setAutoRaise(true);
    remove->setAccessibleName(tr("Delete bookmark"));
    remove->setToolTip(tr("Delete bookmark"));
    remove->setIcon(Icons::icon(QStringLiteral("trash"), ChartColor::of(Palette::textSecondary), this));
    const std::int64_t id = bookmark.id;
    connect(remove, &QToolButton::clicked, this, [this, id] { model_.deleteEvent(id); });
    layout->addWidget(remove);
    rows.emplace(bookmark.id, row);
  }
  // Rows of bookmarks no longer in the range go; the rest are put in list order.
  for (auto& [id, row] : bookmarkWidgets_) {
    bookmarkRows_->removeWidget(row);
    row->hide();
    row->deleteLater();
  }
  bookmarkWidgets_ = std::move(rows);
  for (std::size_t i = 0; i < bookmarks.size(); ++i) {
    QWidget* row = bookmarkWidgets_.at(bookmarks[i].id);
    if (bookmarkRows_->indexOf(row) != static_cast<int>(i)) {
      bookmarkRows_->removeWidget(row);
      bookmarkRows_->insertWidget(static_cast<int>(i), row);
    }
  }
  noBookmark_->setVisible(bookmarks.empty());
}

void HistoryPage::setHover(std::optional<double> hover) {
  if (hover == hover_) return;
  hover_ = hover;
  for (HistoryChartCard* card : cards_) card->setHover(hover_);
}

void HistoryPage::refreshStatus() {
  const bool hasSeries = loaded_ && !loaded_->series.empty();
  const bool missing = !model_.hasHistory();
  // Until the first attempt at the history has ended there is no error, only a history opening.
  const std::optional<QString> notOpen = HistoryPresenter::notOpenText(!missing, model_.storeError());
  status_->setVisible(!hasSeries);
  progress_->setVisible(!missing || !model_.storeError());
  unavailable_->setVisible(notOpen.has_value());
  if (notOpen) unavailable_->setText(*notOpen);
  noBookmark_->setText(HistoryPresenter::noBookmark(!missing));
  const auto failure = HistoryPresenter::writeFailure(!missing, model_.storeError());
  writeFailure_->setVisible(failure.has_value());
  writeFailure_->setText(failure.value_or(QString()));
}

void HistoryPage::refreshSubtitle() {
  header_->setSubtitle(HistoryPresenter::subtitle(model_.storeStatistics(), model_.format()));
}

void HistoryPage::refreshRetention() {
  retention_->setText(HistoryPresenter::retentionText(settings_.retention(), model_.format()));
}

const Series* HistoryPage::loadedSeries(MetricID metric) const {
  if (!loaded_) return nullptr;
  for (const Series& series : loaded_->series) {
    if (series.metric == metric) return &series;
  }
  return nullptr;
}

void HistoryPage::setFileDialogs(std::unique_ptr<HistoryFileDialogs> dialogs) {
  if (dialogs) dialogs_ = std::move(dialogs);
}

void HistoryPage::exportCSV(MetricID metric) {
  const Series* series = loadedSeries(metric);
  if (!series) return;
  // The text is made before the dialog: a load that lands while it is open changes nothing here.
  const QByteArray bytes = HistoryExport::csv(*series);
  const QString name = HistoryExport::fileName(metric, loaded_->range, QStringLiteral("csv"));
  const QPointer<HistoryPage> alive(this);
  const auto path = dialogs_->saveFileName(this, name, tr("CSV files (*.csv)"), QStringLiteral("csv"));
  if (!alive || !path) return;
  if (const auto error = HistoryExport::write(*path, bytes)) dialogs_->showFailure(this, *error);
}

void HistoryPage::exportPNG(MetricID metric) {
  const Series* series = loadedSeries(metric);
  if (!series) return;
  const std::vector<double> bookmarks = loaded_->bookmarkTimes();
  HistoryExport::ImageContent content;
  content.series = series;
  content.from = loaded_->from;
  content.to = loaded_->to;
  content.bookmarks = bookmarks;
  content.dark = settings_.appearance() == AppearanceChoice::dark;
  content.colorBlindSafe = Environment::colorBlindSafe(this);
  content.format = &model_.format();
  const QByteArray bytes = HistoryExport::png(HistoryExport::render(content));
  // A failed rendering ends the export before any dialog.
  if (bytes.isEmpty()) return;
  const QString name = HistoryExport::fileName(metric, loaded_->range, QStringLiteral("png"));
  const QPointer<HistoryPage> alive(this);
  const auto path = dialogs_->saveFileName(this, name, tr("PNG images (*.png)"), QStringLiteral("png"));
  if (!alive || !path) return;
  if (const auto error = HistoryExport::write(*path, bytes)) dialogs_->showFailure(this, *error);
}

}  // namespace kivo
