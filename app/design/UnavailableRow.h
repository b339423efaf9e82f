#pragma once

#include <QWidget>

#include <optional>

namespace kivo {

class ToneLabel;

// A figure that cannot be shown: its name with an "Unavailable" badge, and why under it (the
// default reason when none is given). Wraps onto as many lines as the reason needs.
class UnavailableRow : public QWidget {
  Q_OBJECT

 public:
  explicit UnavailableRow(const QString& label, std::optional<QString> reason = std::nullopt,
                          QWidget* parent = nullptr);

  QString shownReason() const;
  static QString defaultReason();

  static constexpr int kSpacing = 2;

 private:
  ToneLabel* reason_ = nullptr;
};

}  // namespace kivo
