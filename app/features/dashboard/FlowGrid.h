#pragma once

#include <QLayout>
#include <QList>
#include <QRectF>

#include <span>
#include <vector>

namespace kivo {

// The dashboard's grid: one to four equal columns of at least minColumnWidth, children in list
// order row after row, each exactly the size of its cell (rows all rowHeight high). A child spans
// 1, 2 or 4 columns, cut to the columns there are; a child that does not fit in what is left of
// a row starts the next one, and the last child of a row widens to the row's end.
class FlowGrid : public QLayout {
  Q_OBJECT

 public:
  struct Metrics {
    double minColumnWidth = 250;
    double rowHeight = 176;
    double spacing = 16;

    // Row height 176 × max(density, 0.85), spacing 16 × density.
    static Metrics forDensity(double density);
  };

  struct Placement {
    std::vector<QRectF> frames;  // one per span, in order, from the grid's top-left corner
    double height = 0;           // 0 without children
    int columns = 1;
  };

  // Pure placement for a width; a span below 1 counts as 1, a width that is not finite or
  // negative as 0, so no frame is ever negative or undefined.
  static Placement place(std::span<const int> spans, double width, const Metrics& metrics);
  // The width a grid without a proposal sizes itself for.
  static constexpr double kDefaultWidth = 900;

  explicit FlowGrid(QWidget* parent = nullptr);
  ~FlowGrid() override;

  void setMetrics(const Metrics& metrics);
  const Metrics& metrics() const { return metrics_; }

  void addWidget(QWidget* widget, int span);
  void setSpan(QWidget* widget, int span);
  int span(QWidget* widget) const;
  // Puts the widgets already in the grid into this order (those not named keep theirs, last).
  void setOrder(const QList<QWidget*>& order);
  QList<QWidget*> widgets() const;

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

 private:
  struct Entry {
    QLayoutItem* item = nullptr;
    int span = 1;
  };
  const std::vector<int>& spans() const;

  QList<Entry> entries_;
  Metrics metrics_;
  mutable std::vector<int> spanScratch_;
};

}  // namespace kivo
