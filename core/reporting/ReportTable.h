#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kivo {

// A titled table of texts, every cell already formatted and localised.
struct ReportTable {
  QString title;
  QStringList headers;
  // A row may hold a different number of cells than there are headers; writers keep it as it is.
  QList<QStringList> rows;

  bool operator==(const ReportTable&) const = default;
};

}  // namespace kivo
