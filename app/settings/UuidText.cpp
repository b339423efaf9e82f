#include "settings/UuidText.h"

namespace kivo::UuidText {

QString format(const QUuid& id) {
  return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parse(QStringView text) {
  if (text.size() != 36) return std::nullopt;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (c != u'-') return std::nullopt;
    } else if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))) {
      return std::nullopt;
    }
  }
  return QUuid::fromString(text);
}

}  // namespace kivo::UuidText
