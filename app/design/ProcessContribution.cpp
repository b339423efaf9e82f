#include "design/ProcessContribution.h"
#include "design/BareLayout.h"
#include "metrics/OutsideText.h"

#include "design/Environment.h"
#include "design/Meter.h"
#include "design/MetricFamily.h"
#include "design/ProcessRanking.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "texts/Localized.h"

#include <QFontMetrics>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace kivo {

// One row: the name on the left (cut in the middle when long), the figure on the right, and a
// thin bar under both. Painted, so a process name is only ever text.
class ProcessContribution::RowView : public QWidget {
 public:
  RowView(bool byMemory, QWidget* parent) : QWidget(parent), byMemory_(byMemory) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(height());
  }

  void setRow(const Row& row) {
    if (row == row_) return;
    row_ = row;
    setAccessibleName(row.name + QStringLiteral(", ") + row.figure);
    update();
  }

  static int height() {
    return QFontMetrics(Typeface::system(12)).height() + kGap + static_cast<int>(kMeterHeight);
  }

  QSize sizeHint() const override { return {200, height()}; }
  QSize minimumSizeHint() const override { return {60, height()}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QFont nameFont = Typeface::system(12);
    const QFont figureFont = Typeface::value();
    const int lineHeight = QFontMetrics(nameFont).height();
    const QFontMetrics figureMetrics(figureFont);
    const int figureWidth = figureMetrics.horizontalAdvance(row_.figure);
    const QRect line(0, 0, width(), lineHeight);

    painter.setFont(figureFont);
    painter.setPen(Palette::textPrimary.resolve(this));
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, row_.figure);

    painter.setFont(nameFont);
    const QFontMetrics nameMetrics(nameFont);
    const int nameWidth = std::max(0, width() - figureWidth - 8);
    painter.drawText(QRect(0, 0, nameWidth, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     nameMetrics.elidedText(row_.name, Qt::ElideMiddle, nameWidth));

    const QRectF track(0, lineHeight + kGap, width(), kMeterHeight);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::surfaceRaised.resolve(this));
    const qreal radius = kMeterHeight / 2;
    painter.drawRoundedRect(track, radius, radius);
    const double fill = Meter::fillWidth(row_.fraction, track.width(), track.height());
    const MetricFamily family = byMemory_ ? MetricFamily::memory : MetricFamily::cpu;
    painter.setBrush(MetricFamilies::color(family, Environment::colorBlindSafe(this)).resolve(this));
    painter.drawRoundedRect(QRectF(track.left(), track.top(), fill, track.height()), radius, radius);
  }

 private:
  static constexpr int kGap = 2;
  static constexpr qreal kMeterHeight = 4;
  bool byMemory_;
  Row row_;
};

ProcessContribution::ProcessContribution(bool byMemory, QWidget* parent)
    : QWidget(parent), byMemory_(byMemory) {
  setObjectName(byMemory ? QStringLiteral("processContribution.memory")
                         : QStringLiteral("processContribution.cpu"));
  auto* column = bareColumn(this, 6);
  list_ = bareColumn(nullptr, 6);
  column->addLayout(list_);
  empty_ = new ToneLabel(kivo::tr("Collecting samples…"), Typeface::caption(), Palette::textTertiary, this);
  empty_->setObjectName(QStringLiteral("processContribution.empty"));
  column->addWidget(empty_);
  if (!byMemory) {
    auto* note =
        new ToneLabel(ProcessContribution::note(false), Typeface::caption(), Palette::textTertiary, this);
    note->setObjectName(QStringLiteral("processContribution.note"));
    note->setWordWrap(true);
    column->addWidget(note);
  }
  column->addStretch(1);
}

std::vector<ProcessContribution::Row> ProcessContribution::rows(const ProcessSample* sample, bool byMemory,
                                                                const ValueFormatter& format) {
  const auto top = ProcessRanking::top(sample, byMemory, kRows);
  const double scale = ProcessRanking::scale(top, byMemory);
  std::vector<Row> rows;
  rows.reserve(top.size());
  for (const ProcessRecord* record : top) {
    Row row;
    row.pid = record->pid;
    row.name = OutsideText::visible(record->name);
    row.figure = byMemory ? format.bytes(static_cast<double>(record->memory.value_or(0)), true)
                          : format.percent(record->cpuPercent.value_or(0), 1);
    row.fraction = ProcessRanking::fraction(*record, scale, byMemory);
    rows.push_back(std::move(row));
  }
  return rows;
}

QString ProcessContribution::note(bool byMemory) {
  if (byMemory) return {};
  return kivo::tr("Per-process figures use 100 % = one core, as Linux process tools usually do.");
}

void ProcessContribution::setSample(const ProcessSample* sample, const ValueFormatter& format) {
  std::vector<Row> next = rows(sample, byMemory_, format);
  if (next == rows_) return;
  rows_ = std::move(next);

  // Rows that went away go; the others are kept and moved into the new order.
  for (auto it = views_.begin(); it != views_.end();) {
    const bool kept =
        std::any_of(rows_.begin(), rows_.end(), [&](const Row& row) { return row.pid == it->first; });
    if (kept) {
      ++it;
      continue;
    }
    list_->removeWidget(it->second);
    it->second->hide();
    it->second->deleteLater();
    it = views_.erase(it);
  }
  for (std::size_t index = 0; index < rows_.size(); ++index) {
    const Row& row = rows_[index];
    RowView*& view = views_[row.pid];
    if (!view) view = new RowView(byMemory_, this);
    view->setRow(row);
    if (list_->indexOf(view) != static_cast<int>(index)) {
      list_->removeWidget(view);
      list_->insertWidget(static_cast<int>(index), view);
    }
    view->show();
  }
  empty_->setVisible(rows_.empty());
}

}  // namespace kivo
