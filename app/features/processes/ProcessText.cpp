#include "features/processes/ProcessText.h"

#include "collectors/ProcessSample.h"
#include "texts/HomePath.h"
#include "texts/Localized.h"

#include <algorithm>

namespace kivo::ProcessText {

QString singleLine(const QString& text) {
  const auto control = [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; };
  if (std::none_of(text.begin(), text.end(), control)) return text;
  QString shown = text;
  for (QChar& c : shown) {
    if (c == u'\n' || c == u'\r')
      c = QChar(0x21B5);  // ↵
    else if (c == u'\t')
      c = QChar(0x21E5);  // ⇥
    else if (control(c))
      c = QChar::ReplacementCharacter;
  }
  return shown;
}

QString middleElided(const QString& text, int limit) {
  if (text.size() <= limit || limit < 3) return text;
  const qsizetype head = (limit - 1) / 2;
  const qsizetype tail = limit - 1 - head;
  return text.first(head) + QChar(0x2026) + text.last(tail);
}

QString user(const ProcessRecord& record, bool mask) {
  return mask ? QStringLiteral("•••") : singleLine(record.user);
}

QString executable(const std::optional<QString>& path, bool mask, const QString& home) {
  if (mask) return QStringLiteral("•••");
  if (!path) return QStringLiteral("—");
  return singleLine(HomePath::abbreviated(*path, home));
}

QString lineage(const ProcessRecord& record, const std::function<const ProcessRecord*(std::int32_t)>& find) {
  QString text = QStringLiteral("PID ") + QString::number(record.pid) + QStringLiteral(" · ") + tr("parent") +
                 QLatin1Char(' ') + QString::number(record.parentPID);
  if (const ProcessRecord* parent = find ? find(record.parentPID) : nullptr) {
    text += QStringLiteral(" (") + singleLine(parent->name) + QLatin1Char(')');
  }
  return text;
}

}  // namespace kivo::ProcessText
