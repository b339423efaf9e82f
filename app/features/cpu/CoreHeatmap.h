#pragma once

#include "design/ChartColor.h"

#include <QList>
#include <QWidget>

class QPainter;

namespace kivo {

// Per-core load over the newest 150 snapshots: one band per core (core 1 at the top), one column
// per snapshot, newest on the right, stronger colour for a busier core. Spoken as "Core activity"
// with the busiest core of the newest row.
class CoreHeatmap : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kColumns = 150;
  static constexpr qreal kCornerRadius = 6;

  explicit CoreHeatmap(QWidget* parent = nullptr);

  // Rows of per-core busy fractions, oldest first: the model's core history, read where it lives
  // (a copy would make the model's reuse of its oldest row allocate). Must outlive the map or
  // be replaced; null shows nothing.
  void setHistory(const QList<QList<double>>* history);
  void setColor(const ChartColor& color);
  const QList<QList<double>>* history() const { return history_; }

  // Left edge of row i of n in a map of this width: the newest row takes the rightmost column.
  static double columnX(qsizetype rows, qsizetype index, double width);
  // 0.06 for an idle core (or a load that is not a number), up to 1 for a full one.
  static double opacity(double load);
  // "Busiest core right now: 3 at 42 %" (the first of equal maxima); "Collecting samples…"
  // without a row.
  static QString summary(const QList<QList<double>>& history);
  static void paint(QPainter& painter, const QRectF& rect, const QList<QList<double>>& history,
                    const QColor& cell, const QColor& background);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const QList<QList<double>>* history_ = nullptr;
  ChartColor color_ = ChartColor::of(MetricFamily::cpu);
};

}  // namespace kivo
