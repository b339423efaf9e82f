#pragma once

#include "features/reports/ReportFormat.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace kivo {

// The two file dialogs of the reports page, behind an interface so tests choose the paths.
// Both are modal: the page may be gone when they return.
class ReportFileDialogs {
 public:
  virtual ~ReportFileDialogs() = default;
  // Where to save an export; absent when cancelled.
  virtual std::optional<QString> saveLocation(QWidget* parent, const QString& proposedName,
                                              ReportFormat format) = 0;
  // The saved JSON reports to compare, chosen from `folder` (the desktop's usual folder when
  // empty); absent when cancelled.
  virtual std::optional<QStringList> reportsToCompare(QWidget* parent, const QString& folder) = 0;
};

// The desktop's save and open dialogs.
class DesktopReportFileDialogs final : public ReportFileDialogs {
 public:
  std::optional<QString> saveLocation(QWidget* parent, const QString& proposedName,
                                      ReportFormat format) override;
  std::optional<QStringList> reportsToCompare(QWidget* parent, const QString& folder) override;
};

}  // namespace kivo
