#include "features/processes/ProcessText.h"

#include "collectors/ProcessSample.h"
#include "metrics/OutsideText.h"
#include "texts/HomePath.h"
#include "texts/Localized.h"

namespace kivo::ProcessText {

QString middleElided(const QString& text, int limit) {
  if (text.size() <= limit || limit < 3) return text;
  const qsizetype head = (limit - 1) / 2;
  const qsizetype tail = limit - 1 - head;
  return text.first(head) + QChar(0x2026) + text.last(tail);
}

QString user(const ProcessRecord& record, bool mask) {
  return mask ? QStringLiteral("•••") : OutsideText::visible(record.user);
}

QString executable(const std::optional<QString>& path, bool mask, const QString& home) {
  if (mask) return QStringLiteral("•••");
  if (!path) return QStringLiteral("—");
  return OutsideText::visible(HomePath::abbreviated(*path, home));
}

QString lineage(const ProcessRecord& record, const std::function<const ProcessRecord*(std::int32_t)>& find) {
  QString text = QStringLiteral("PID ") + QString::number(record.pid) + QStringLiteral(" · ") + tr("parent") +
                 QLatin1Char(' ') + QString::number(record.parentPID);
  if (const ProcessRecord* parent = find ? find(record.parentPID) : nullptr) {
    text += QStringLiteral(" (") + OutsideText::visible(parent->name) + QLatin1Char(')');
  }
  if (record.ended) text += QStringLiteral(" · ") + tr("ended, not yet collected by its parent");
  return text;
}

}  // namespace kivo::ProcessText
