// A settings file as the application reads it at launch: the file domain, then every setting
// decoded from it.
#include "FuzzInput.h"

#include "settings/AppSettings.h"
#include "settings/JsonFilePreferences.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kivo;
  // Warnings about unreadable values are expected here; thousands of them would drown a finding.
  static const auto previous = qInstallMessageHandler(quiet);
  (void)previous;
  static QTemporaryDir dir;
  static const QString path = dir.filePath(QStringLiteral("settings.json"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  JsonFilePreferences preferences(path);
  AppSettings settings(preferences);
  // Reading never writes.
  if (QFile(path).size() != static_cast<qint64>(size)) std::abort();
  return 0;
}
