#include "settings/Preferences.h"

#include <charconv>
#include <cmath>

namespace kivo {

namespace {

std::optional<double> parseDecimal(const QString& text) {
  const QByteArray bytes = text.trimmed().toUtf8();
  if (bytes.isEmpty()) return std::nullopt;
  const char* begin = bytes.constData();
  const char* end = begin + bytes.size();
  if (*begin == '+') ++begin;  // from_chars takes no plus sign
  double value = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool textIsAffirmative(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text.at(i).isSpace()) ++i;
  if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) ++i;
  while (i < text.size() && text.at(i) == u'0') ++i;
  if (i >= text.size()) return false;
  const QChar c = text.at(i);
  return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

}  // namespace

bool Preferences::booleanValue(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool();
    case QMetaType::Double: {
      const double number = value.toDouble();
      return std::isfinite(number) && number != 0;
    }
    case QMetaType::QString:
      return textIsAffirmative(value.toString());
    default:
      return false;
  }
}

double Preferences::numberValue(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool() ? 1 : 0;
    case QMetaType::Double: {
      const double number = value.toDouble();
      return std::isfinite(number) ? number : 0;
    }
    case QMetaType::QString:
      return parseDecimal(value.toString()).value_or(0);
    default:
      return 0;
  }
}

QVariant Preferences::normalized(const QVariant& value) {
  if (!value.isValid()) return {};
  switch (value.typeId()) {
    case QMetaType::Double:
      // A JSON file cannot hold NaN or infinity, and no setting means either.
      return std::isfinite(value.toDouble()) ? value : QVariant();
    case QMetaType::Bool:
    case QMetaType::QString:
    case QMetaType::QByteArray:
      return value;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
      return normalized(QVariant(value.toDouble()));
    default:
      return QVariant(value.toString());
  }
}

QString Preferences::unreadableName(const QString& name, const std::function<bool(const QString&)>& taken) {
  const QString base = name + QStringLiteral(".unreadable");
  QString candidate = base;
  for (int n = 1; taken(candidate); ++n) candidate = base + QLatin1Char('.') + QString::number(n);
  return candidate;
}

bool Preferences::boolean(const QString& key) const {
  return booleanValue(object(key));
}

double Preferences::number(const QString& key) const {
  return numberValue(object(key));
}

std::optional<QString> Preferences::string(const QString& key) const {
  const QVariant value = object(key);
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  return value.toString();
}

std::optional<QByteArray> Preferences::data(const QString& key) const {
  const QVariant value = object(key);
  if (value.typeId() != QMetaType::QByteArray) return std::nullopt;
  return value.toByteArray();
}

}  // namespace kivo
