#pragma once

#include "design/MetricFamily.h"
#include "metrics/Metric.h"

#include <QWidget>

#include <optional>

class QHBoxLayout;
class QLabel;
class QVBoxLayout;

namespace kivo {

class QualityBadge;
class ToneLabel;

// The rounded surface that frames a group of content: an optional header (family symbol, title,
// quality badge for estimated, best-effort and unavailable figures) over the caller's content.
// Padding and spacing follow the window's density.
class Card : public QWidget {
  Q_OBJECT

 public:
  // The title is a localisation key; without it there is no header at all.
  explicit Card(std::optional<QString> titleKey = std::nullopt,
                std::optional<MetricFamily> family = std::nullopt,
                std::optional<MetricQuality> quality = std::nullopt, QWidget* parent = nullptr);

  // The content column: the caller adds its widgets here, top to bottom.
  QVBoxLayout* body() const { return body_; }
  // Adds one widget to the content column.
  void addContent(QWidget* content);
  // This content takes the height the card has beyond what its content needs (by default the
  // room stays empty below the content).
  void setFillingContent(QWidget* content);

  void setQuality(std::optional<MetricQuality> quality);
  // Room kept free at the header's trailing end (controls laid over the card's corner), so the
  // badge moves in beside them instead of under them.
  void setHeaderTrailingInset(int inset);
  // The header row (symbol, title, badge); none without a title.
  QWidget* header() const { return header_; }
  QWidget* badge() const;
  std::optional<MetricQuality> quality() const { return quality_; }

  // Whether a quality earns a badge in a card header.
  static bool showsBadge(std::optional<MetricQuality> quality);
  // Whether `area` of a card covering `bounds` shows only the card's fill (no outline, no corner).
  static bool insideFill(const QRect& bounds, const QRect& area);

  static constexpr qreal kCornerRadius = 14;
  static constexpr qreal kPadding = 16;
  static constexpr qreal kSpacing = 12;
  static constexpr int kHeaderSpacing = 8;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void applyDensity();
  void refreshSymbol();

  std::optional<MetricFamily> family_;
  std::optional<MetricQuality> quality_;
  QVBoxLayout* column_ = nullptr;
  QVBoxLayout* body_ = nullptr;
  QWidget* header_ = nullptr;
  QLabel* symbol_ = nullptr;
  QualityBadge* badge_ = nullptr;
  double density_ = 0;
};

}  // namespace kivo
