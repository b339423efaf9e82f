#include "features/history/HistoryChartCard.h"

#include "design/BareLayout.h"
#include "design/Icons.h"
#include "design/ItemListLayout.h"
#include "design/MenuButton.h"
#include "design/MetricFamily.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/history/HistoryChart.h"
#include "features/history/HistoryPresenter.h"
#include "texts/Localized.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace kivo {

namespace {

constexpr const char* kStatNames[] = {"minimum", "average", "maximum", "samples", "resolution", "gaps"};

// The six figures in one row, 24 apart, with the Export menu at the right end; where the row
// does not fit they wrap into rows of three, two or one, so the card never forces the page to
// scroll sideways. The last item is the menu.
class StatisticsLayout : public ItemListLayout {
 public:
  explicit StatisticsLayout(QWidget* parent) : ItemListLayout(parent) {}

  Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return place(QRect(0, 0, width, 0), false); }
  QSize sizeHint() const override {
    int width = 0;
    for (QLayoutItem* item : items()) width += item->sizeHint().width() + kGap;
    return {width, heightForWidth(width)};
  }
  QSize minimumSize() const override {
    int widest = 0;
    for (qsizetype i = 0; i + 1 < items().size(); ++i)
      widest = std::max(widest, items()[i]->sizeHint().width());
    const int menu = items().isEmpty() ? 0 : items().back()->sizeHint().width();
    return {widest + kGap + menu, 0};
  }
  void setGeometry(const QRect& rect) override {
    QLayout::setGeometry(rect);
    place(rect, true);
  }

 private:
  static constexpr int kGap = 24;
  static constexpr int kRowGap = 8;

  int place(const QRect& rect, bool apply) const {
    if (items().isEmpty()) return 0;
    const qsizetype figures = items().size() - 1;
    const QSize menu = items().back()->sizeHint();
    const int room = rect.width() - menu.width() - kGap;
    // The most columns whose widest figures fit beside the menu.
    int columns = 1;
    std::vector<int> widths;
    for (int tried : {6, 3, 2, 1}) {
      widths.assign(static_cast<std::size_t>(tried), 0);
      for (qsizetype i = 0; i < figures; ++i) {
        int& width = widths[static_cast<std::size_t>(i % tried)];
        width = std::max(width, items()[i]->sizeHint().width());
      }
      int total = kGap * (tried - 1);
      for (int width : widths) total += width;
      columns = tried;
      if (total <= room) break;
    }
    int y = rect.top();
    int firstRow = 0;
    for (qsizetype start = 0; start < figures; start += columns) {
      int height = 0;
      for (qsizetype i = start; i < std::min(figures, start + columns); ++i)
        height = std::max(height, items()[i]->sizeHint().height());
      int x = rect.left();
      for (qsizetype i = start; i < std::min(figures, start + columns); ++i) {
        const int width = widths[static_cast<std::size_t>(i - start)];
        if (apply) items()[i]->setGeometry(QRect(x, y, width, height));
        x += width + kGap;
      }
      if (start == 0) firstRow = height;
      y += height + kRowGap;
    }
    const int used = y - kRowGap - rect.top();
    if (apply)
      items().back()->setGeometry(QRect(rect.right() + 1 - menu.width(),
                                        rect.top() + (firstRow - menu.height()) / 2, menu.width(),
                                        menu.height()));
    return std::max(used, menu.height());
  }
};

}  // namespace

HistoryChartCard::HistoryChartCard(MetricID metric, const ValueFormatter& format, bool producible,
                                   QWidget* parent)
    : Card(MetricCatalog::descriptor(metric).name, MetricFamilies::of(metric),
           MetricCatalog::descriptor(metric).quality, parent),
      metric_(metric),
      format_(format),
      producible_(producible) {
  setObjectName(QStringLiteral("history.card.") + Metric::keyString(metric));

  auto* stats = new QWidget(this);
  auto* statsLayout = new StatisticsLayout(stats);
  const auto statistics = HistoryPresenter::statistics(Series{}, format_);
  for (std::size_t i = 0; i < statistics.size(); ++i) {
    auto* stat = new QWidget(stats);
    stat->setObjectName(QStringLiteral("history.stat.") + QLatin1String(kStatNames[i]));
    auto* column = bareColumn(stat, 1);
    column->addWidget(
        new ToneLabel(tr(statistics[i].label), Typeface::label(), Palette::textSecondary, stat));
    auto* value = new ToneLabel(QStringLiteral("—"), Typeface::value(), Palette::textPrimary, stat);
    value->setObjectName(QStringLiteral("value"));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(value);
    values_[i] = value;
    statsLayout->addWidget(stat);
  }

  export_ = new MenuButton(stats);
  export_->setObjectName(QStringLiteral("history.export"));
  export_->setText(tr("Export"));
  auto* menu = new QMenu(export_);
  QAction* png = menu->addAction(tr("Export Chart as PNG…"));
  png->setObjectName(QStringLiteral("history.export.png"));
  QAction* csv = menu->addAction(tr("Export Data as CSV…"));
  csv->setObjectName(QStringLiteral("history.export.csv"));
  export_->setMenu(menu);
  connect(png, &QAction::triggered, this, &HistoryChartCard::exportPNGRequested);
  connect(csv, &QAction::triggered, this, &HistoryChartCard::exportCSVRequested);
  statsLayout->addWidget(export_);
  addContent(stats);

  readout_ = new ToneLabel(QString(), Typeface::caption(), Palette::textTertiary, this);
  readout_->setObjectName(QStringLiteral("history.readout"));
  addContent(readout_);

  chart_ = new HistoryChart(this);
  chart_->setObjectName(QStringLiteral("history.chart"));
  chart_->setAccessibleName(HistoryPresenter::metricName(metric));
  chart_->setFamily(MetricFamilies::of(metric));
  chart_->setFormat(
      [metric, &format](double value) { return HistoryPresenter::valueText(value, metric, format); },
      AxisUnit::of(metric, format.locale));
  connect(chart_, &HistoryChart::hoverMoved, this, &HistoryChartCard::hoverMoved);
  addContent(chart_);

  empty_ = new ToneLabel(HistoryPresenter::emptyText(producible), Typeface::system(12),
                         Palette::textSecondary, this);
  empty_->setObjectName(QStringLiteral("history.empty"));
  empty_->hide();
  addContent(empty_);

  refreshReadout();
  export_->setIcon(Icons::icon(QStringLiteral("square.and.arrow.up"), ChartColor::of(Palette::accent), this));
}

void HistoryChartCard::setSeries(const Series& series, double from, double to,
                                 std::vector<double> bookmarks) {
  const auto statistics = HistoryPresenter::statistics(series, format_, producible_);
  for (std::size_t i = 0; i < statistics.size(); ++i) {
    const QString text = statistics[i].value.value_or(QStringLiteral("—"));
    if (values_[i]->text() != text) values_[i]->setText(text);
    values_[i]->parentWidget()->setAccessibleName(tr(statistics[i].label) + QLatin1Char(' ') + text);
  }
  chart_->setSeries(series, from, to);
  chart_->setBookmarks(std::move(bookmarks));
  chart_->setSummary(HistoryPresenter::summary(series, format_, producible_));
  empty_->setVisible(series.points.empty());
  const bool drawn = HistoryPresenter::drawsChart(series, producible_);
  chart_->setVisible(drawn);
  readout_->setVisible(drawn);
  refreshReadout();
}

void HistoryChartCard::setHover(std::optional<double> hover) {
  chart_->setHover(hover);
  refreshReadout();
}

void HistoryChartCard::refreshReadout() {
  const HistoryPresenter::Readout readout =
      HistoryPresenter::readout(chart_->series(), chart_->hover(), format_);
  if (readout_->text() != readout.text) readout_->setText(readout.text);
  readout_->setTone(readout.hint ? Palette::textTertiary : Palette::textSecondary);
}

}  // namespace kivo
