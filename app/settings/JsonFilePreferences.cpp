#include "settings/JsonFilePreferences.h"

#include "platform/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStandardPaths>
#include <QStringDecoder>

#include <cmath>

namespace kivo {

namespace {

const QString kJson = QStringLiteral("json");
const QString kData = QStringLiteral("data");
const QString kBase64 = QStringLiteral("base64");

QString configDirectory() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/kivo-monitor");
}

// Data that is compact JSON text as QJsonDocument writes it can be stored as JSON and read
// back byte for byte.
std::optional<QJsonValue> asJson(const QByteArray& bytes) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError || (!document.isObject() && !document.isArray())) {
    return std::nullopt;
  }
  if (document.toJson(QJsonDocument::Compact) != bytes) return std::nullopt;
  return document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
}

std::optional<QString> asUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (decoder.hasError() || text.toUtf8() != bytes) return std::nullopt;
  return text;
}

}  // namespace

JsonFilePreferences::JsonFilePreferences(QString path) : path_(std::move(path)) {
  load();
}

void JsonFilePreferences::fail(const QString& message) {
  // Settings that fall back to defaults or are not saved must not go unsaid, but a failure
  // that every change meets again is said once.
  if (message == lastError_) return;
  lastError_ = message;
  qWarning("%s", qUtf8Printable(message));
}

bool JsonFilePreferences::refuse(const QString& message) {
  fail(message);
  saveError_ = message;
  return false;
}

QString JsonFilePreferences::standardPath() {
  return configDirectory() + QStringLiteral("/settings.json");
}

QString JsonFilePreferences::testSuitePath() {
  return configDirectory() + QStringLiteral("/settings.uitest.json");
}

bool JsonFilePreferences::erase(const QString& path) {
  return !QFileInfo::exists(path) || QFile::remove(path);
}

QJsonValue JsonFilePreferences::encode(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool();
    case QMetaType::Double:
      return value.toDouble();
    case QMetaType::QString:
      return value.toString();
    case QMetaType::QByteArray: {
      const QByteArray bytes = value.toByteArray();
      if (auto json = asJson(bytes)) return QJsonObject{{kJson, *json}};
      if (auto text = asUtf8(bytes)) return QJsonObject{{kData, *text}};
      return QJsonObject{{kBase64, QString::fromLatin1(bytes.toBase64())}};
    }
    default:
      return QJsonValue(QJsonValue::Undefined);
  }
}

QVariant JsonFilePreferences::decode(const QJsonValue& value) {
  if (value.isBool()) return value.toBool();
  if (value.isDouble()) return value.toDouble();
  if (value.isString()) return value.toString();
  if (!value.isObject()) return {};
  const QJsonObject object = value.toObject();
  if (object.size() != 1) return {};
  const QString tag = object.begin().key();
  const QJsonValue inner = object.begin().value();
  if (tag == kJson && (inner.isObject() || inner.isArray())) {
    const QJsonDocument document =
        inner.isObject() ? QJsonDocument(inner.toObject()) : QJsonDocument(inner.toArray());
    return document.toJson(QJsonDocument::Compact);
  }
  if (tag == kData && inner.isString()) return inner.toString().toUtf8();
  if (tag == kBase64 && inner.isString()) {
    auto decoded =
        QByteArray::fromBase64Encoding(inner.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (decoded) return *decoded;
  }
  return {};
}

JsonFilePreferences::FileState JsonFilePreferences::read(QJsonObject* root) const {
  FileState state;
  QFile file(path_);
  if (!file.exists()) return state;
  if (!file.open(QIODevice::ReadOnly)) {
    state.unopenable = true;
    state.problem = QStringLiteral("Cannot read %1: %2").arg(path_, file.errorString());
    return state;
  }
  // A settings file is a few kilobytes; a huge one is not read into memory at all.
  const QByteArray bytes = file.read(kMaxFileBytes + 1);
  if (bytes.size() > kMaxFileBytes) {
    state.problem =
        QStringLiteral("%1 is larger than %2 bytes; it is not read").arg(path_).arg(kMaxFileBytes);
    return state;
  }
  if (bytes.trimmed().isEmpty()) return state;  // nothing in it to lose
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) {
    state.problem = error.error != QJsonParseError::NoError
                        ? QStringLiteral("%1 is not valid JSON: %2").arg(path_, error.errorString())
                        : QStringLiteral("%1 does not hold a JSON object").arg(path_);
    return state;
  }
  if (root) *root = document.object();
  return state;
}

void JsonFilePreferences::load() {
  QJsonObject root;
  const FileState state = read(&root);
  if (!state.problem.isEmpty()) {
    unreadable_ = true;
    fail(state.problem);
    return;
  }
  for (auto it = root.begin(); it != root.end(); ++it) {
    const QVariant value = decode(it.value());
    if (value.isValid()) {
      values_.insert(it.key(), value);
    } else {
      foreign_.insert(it.key(), it.value());
    }
  }
}

QVariant JsonFilePreferences::object(const QString& key) const {
  return values_.value(key);
}

void JsonFilePreferences::apply(const QList<Change>& changes) {
  for (const auto& [key, raw] : changes) {
    const QVariant value = normalized(raw);
    // An entry this version cannot read is not dropped by a write over it: it moves aside.
    if (foreign_.contains(key)) {
      const QJsonValue kept = foreign_.take(key);
      foreign_.insert(
          unreadableName(
              key, [this](const QString& name) { return foreign_.contains(name) || values_.contains(name); }),
          kept);
    }
    if (value.isValid()) {
      values_.insert(key, value);
    } else {
      values_.remove(key);
    }
  }
  save();
}

// Moved, not copied: a file too large to read is never read whole, and a full disk can still
// rename.
bool JsonFilePreferences::preserveUnreadable() {
  if (!QFileInfo::exists(path_)) return true;  // gone meanwhile: nothing to keep
  const QString target = unreadableName(path_, [](const QString& name) { return QFileInfo::exists(name); });
  if (!QFile::rename(path_, target)) {
    fail(QStringLiteral("Cannot keep the unreadable %1 aside; settings are not saved").arg(path_));
    return false;
  }
  preservedCopy_ = target;
  return true;
}

bool JsonFilePreferences::save() {
  // Another program may have replaced the file since it was read: what it wrote is kept too.
  const FileState state = read(nullptr);
  if (state.unopenable) {
    return refuse(state.problem + QStringLiteral("; settings are not saved"));
  }
  if (unreadable_ || !state.problem.isEmpty()) {
    if (!preserveUnreadable()) return refuse(lastError_);
    unreadable_ = false;
  }
  QJsonObject root = foreign_;
  for (auto it = values_.begin(); it != values_.end(); ++it) {
    const QJsonValue value = encode(it.value());
    if (!value.isUndefined()) root.insert(it.key(), value);
  }
  if (const auto error = FileWriter::makeFolder(QFileInfo(path_).absolutePath())) {
    return refuse(*error);
  }
  if (const auto error = FileWriter::write(path_, QJsonDocument(root).toJson(QJsonDocument::Indented),
                                           FileWriter::kPrivate)) {
    return refuse(*error);
  }
  lastError_.clear();
  saveError_.clear();
  return true;
}

}  // namespace kivo
