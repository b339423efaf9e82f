#include "texts/HistoryText.h"

#include "metrics/ValueFormatter.h"
#include "texts/Localized.h"

#include <sqlite3.h>

namespace kivo {

namespace {

QString cause(const StoreWriteStatus& status) {
  switch (status.code) {
    case SQLITE_FULL:
      return tr("The disk is full");
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return tr("The history database is read-only");
    case SQLITE_IOERR:
      return tr("The disk reported an error while writing the history");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return tr("The history database is busy");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return tr("The history database is damaged");
    default:
      return tr("The history cannot be written");
  }
}

QString count(std::uint64_t value) {
  return ValueFormatter().number(static_cast<double>(value), 0);
}

}  // namespace

QString HistoryText::writeFailure(const StoreWriteStatus& status) {
  QString text = tr("%1: %2 samples are waiting to be written.", cause(status), count(status.pendingSamples));
  if (status.droppedRows > 0) {
    text += QLatin1Char(' ') + tr("%1 older rows were dropped.", count(status.droppedRows));
  }
  // A full disk is the whole cause; the store's own words would only say it again.
  if (status.error && status.code != SQLITE_FULL) text += QLatin1Char(' ') + tr("(%1)", *status.error);
  return text;
}

QString HistoryText::lostAtQuit(const StoreWriteStatus& status) {
  // Standard error is read by people who report problems: plain English, C-locale numbers.
  QString line = QStringLiteral("KIVO Monitor: %1 samples could not be written to the history at quit")
                     .arg(status.pendingSamples);
  if (status.droppedRows > 0) {
    line += QStringLiteral(" (%1 queued rows had been dropped before)").arg(status.droppedRows);
  }
  line += QStringLiteral(": ") + status.error.value_or(QStringLiteral("unknown error"));
  return line;
}

}  // namespace kivo
