#pragma once

#include <QWidget>

namespace kivo {

class AdaptiveRowLayout;

// Cards side by side from 720 pixels on, stacked below that, 16 × density apart.
class CardRow : public QWidget {
  Q_OBJECT

 public:
  explicit CardRow(QWidget* parent = nullptr);

  void addWidget(QWidget* child);
  AdaptiveRowLayout* rowLayout() const { return layout_; }

  static constexpr double kSpacing = 16;
  static constexpr double kBreakpoint = 720;

 private:
  AdaptiveRowLayout* layout_;
};

}  // namespace kivo
