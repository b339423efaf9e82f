#include "settings/JsonFilePreferences.h"

#include "platform/FileWriter.h"
#include "platform/UserFolders.h"
#include "settings/SettingsLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStringDecoder>

#include <cmath>

#include <sys/stat.h>

namespace kivo {

namespace {

const QString kJson = QStringLiteral("json");
const QString kData = QStringLiteral("data");
const QString kBase64 = QStringLiteral("base64");

QString configDirectory() {
  return UserFolders::configHome() + QStringLiteral("/kivo-monitor");
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

void split(const QJsonObject& root, QMap<QString, QVariant>& values, QJsonObject& foreign) {
  for (auto it = root.begin(); it != root.end(); ++it) {
    const QVariant value = JsonFilePreferences::decode(it.value());
    if (value.isValid()) {
      values.insert(it.key(), value);
    } else {
      foreign.insert(it.key(), it.value());
    }
  }
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
  qCWarning(settingsLog, "%s", qUtf8Printable(message));
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

JsonFilePreferences::Identity JsonFilePreferences::identify() const {
  struct stat info {};
  if (::stat(QFile::encodeName(path_).constData(), &info) != 0) return {};
  auto nanoseconds = [](const timespec& time) { return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec; };
  return {true, info.st_dev, info.st_ino, info.st_size, nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

void JsonFilePreferences::load() {
  seen_ = identify();
  QJsonObject root;
  const FileState state = read(&root);
  if (!state.problem.isEmpty()) {
    unreadable_ = true;
    startProblem_ = state.problem;
    startUnopenable_ = state.unopenable;
    fail(state.problem);
    return;
  }
  split(root, values_, foreign_);
}

QString JsonFilePreferences::readError() const {
  if (startProblem_.isEmpty()) return {};
  if (startUnopenable_) {
    return QStringLiteral(
               "%1. The settings start from their defaults and are not saved while it cannot be "
               "read.")
        .arg(startProblem_);
  }
  if (!preservedCopy_.isEmpty()) {
    return QStringLiteral("%1. It was kept as %2, and the settings started from their defaults.")
        .arg(startProblem_, preservedCopy_);
  }
  return QStringLiteral(
             "%1. The settings start from their defaults; the file is kept as %2 at the first "
             "change.")
      .arg(startProblem_, unreadableName(path_, [](const QString& name) { return QFileInfo::exists(name); }));
}

QVariant JsonFilePreferences::adoptPlainJson(const QString& key) {
  const QJsonValue value = foreign_.value(key);
  QByteArray data;
  if (value.isObject()) {
    data = QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
  } else if (value.isArray()) {
    data = QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
  } else {
    return {};
  }
  foreign_.remove(key);
  values_.insert(key, data);
  return data;
}

void JsonFilePreferences::takeOutsideEdits() {
  const Identity now = identify();
  // A file removed meanwhile is written again whole.
  if (now == seen_ || !now.exists) return;
  QJsonObject root;
  // One that does not read is left to save(), which keeps it aside; an emptied one holds
  // nothing to take, and what is known here is written again.
  if (!read(&root).problem.isEmpty() || root.isEmpty()) return;
  QMap<QString, QVariant> values;
  QJsonObject foreign;
  split(root, values, foreign);
  for (const QString& key : unsaved_) {
    values.remove(key);
    foreign.remove(key);
    if (const auto it = values_.constFind(key); it != values_.constEnd()) {
      values.insert(key, it.value());
    } else if (foreign_.contains(key)) {
      foreign.insert(key, foreign_.value(key));
    }
  }
  values_ = std::move(values);
  foreign_ = std::move(foreign);
  unreadable_ = false;
  // Mended by hand: nothing is set aside any more.
  if (!startUnopenable_ && preservedCopy_.isEmpty()) startProblem_.clear();
}

QVariant JsonFilePreferences::object(const QString& key) const {
  return values_.value(key);
}

void JsonFilePreferences::apply(const QList<Change>& changes) {
  takeOutsideEdits();
  for (const auto& [key, raw] : changes) {
    const QVariant value = normalized(raw);
    unsaved_.insert(key);
    // An entry this version cannot read is not dropped by a write over it: it moves aside.
    if (foreign_.contains(key)) {
      const QJsonValue kept = foreign_.take(key);
      const QString aside = unreadableName(
          key, [this](const QString& name) { return foreign_.contains(name) || values_.contains(name); });
      foreign_.insert(aside, kept);
      unsaved_.insert(aside);
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
  seen_ = identify();
  unsaved_.clear();
  lastError_.clear();
  saveError_.clear();
  return true;
}

void JsonFilePreferences::saveBeforeQuit() {
  if (saveError_.isEmpty()) return;
  takeOutsideEdits();
  if (save()) return;
  // Said even when the same failure was said before: this is the last chance to know.
  qCWarning(settingsLog, "Settings changed in this session are not saved: %s", qUtf8Printable(saveError_));
}

}  // namespace kivo
