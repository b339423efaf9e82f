#pragma once

#include "design/MetricFamily.h"

#include <QWidget>

#include <optional>

namespace kivo {

class ToneLabel;

// The top of every page: a coloured symbol tile, the page title and an optional subtitle.
// Spoken as one element: the title as its name, the subtitle as its description.
class PageHeader : public QWidget {
  Q_OBJECT

 public:
  // The title is a localisation key; the subtitle is shown as given (the caller localises it).
  // A symbol of the page's own replaces the family's symbol and takes the accentSecondary tile.
  PageHeader(const QString& titleKey, std::optional<QString> subtitle, MetricFamily family,
             std::optional<QString> symbol = std::nullopt, QWidget* parent = nullptr);

  void setSubtitle(std::optional<QString> subtitle);

  static QString tileSymbol(MetricFamily family, const std::optional<QString>& symbol);
  static DynamicColor tileColor(MetricFamily family, const std::optional<QString>& symbol,
                                bool colorBlindSafe);

  static constexpr int kTile = 36;
  static constexpr int kSpacing = 12;

 private:
  ToneLabel* subtitle_ = nullptr;
};

}  // namespace kivo
