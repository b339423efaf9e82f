#include "shell/SingleInstance.h"

#include <QCryptographicHash>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>

namespace kivo {

// The standard interface a desktop uses to activate a running application.
class SingleInstanceAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

 public:
  explicit SingleInstanceAdaptor(SingleInstance* owner) : QDBusAbstractAdaptor(owner), owner_(owner) {}

 public slots:
  void Activate(const QVariantMap& platformData) { emit owner_->activationRequested(platformData); }

 private:
  SingleInstance* owner_;
};

namespace {

constexpr int kCallTimeoutMs = 5'000;

QString normalizedPath(const QString& databasePath) {
  const QFileInfo info(databasePath);
  const QDir folder = info.absoluteDir();
  if (folder.exists()) return QDir(folder.canonicalPath()).filePath(info.fileName());
  return QDir::cleanPath(info.absoluteFilePath());
}

QVariantMap ownPlatformData() {
  // Lets the running instance take focus on desktops that demand a token for it.
  static const std::pair<const char*, const char*> kSources[] = {
      {"XDG_ACTIVATION_TOKEN", "activation-token"},
      {"DESKTOP_STARTUP_ID", "desktop-startup-id"},
  };
  QVariantMap data;
  for (const auto& [variable, key] : kSources) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty()) data.insert(QString::fromLatin1(key), value);
  }
  return data;
}

}  // namespace

QString SingleInstance::serviceName(const QString& databasePath) {
  const QByteArray hash =
      QCryptographicHash::hash(normalizedPath(databasePath).toUtf8(), QCryptographicHash::Sha256).toHex();
  return QStringLiteral("io.kivo.Monitor.h") + QString::fromLatin1(hash.left(32));
}

SingleInstance::SingleInstance(QDBusConnection bus, const QString& databasePath, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), name_(serviceName(databasePath)) {}

SingleInstance::~SingleInstance() {
  if (owned_) {
    bus_.unregisterObject(kObjectPath);
    bus_.unregisterService(name_);
  }
}

SingleInstance::Outcome SingleInstance::claim() {
  if (!bus_.isConnected() || !bus_.interface()) return Outcome::alone;
  // Twice: an owner that quits between our attempt and our call leaves the name free.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto reply = bus_.interface()->registerService(name_, QDBusConnectionInterface::DontQueueService,
                                                         QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
      new SingleInstanceAdaptor(this);
      if (!bus_.registerObject(kObjectPath, this)) {
        bus_.unregisterService(name_);
        return Outcome::alone;
      }
      owned_ = true;
      return Outcome::primary;
    }
    if (!reply.isValid()) return Outcome::alone;
    QDBusMessage call = QDBusMessage::createMethodCall(
        name_, kObjectPath, QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"));
    call << ownPlatformData();
    const QDBusMessage answer = bus_.call(call, QDBus::Block, kCallTimeoutMs);
    if (answer.type() == QDBusMessage::ReplyMessage) return Outcome::handedOver;
  }
  return Outcome::alone;
}

}  // namespace kivo

#include "SingleInstance.moc"
