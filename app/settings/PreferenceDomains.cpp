#include "settings/PreferenceDomains.h"

#include "settings/LaunchOptions.h"

namespace kivo {

Preferences& PreferenceDomains::settings() const {
  if (testSuite) return *testSuite;
  return *standard;
}

PreferenceDomains PreferenceDomains::forLaunch(const QStringList& arguments) {
  PreferenceDomains domains;
  domains.standard = std::make_unique<LaunchArgumentPreferences>(
      arguments, std::make_unique<JsonFilePreferences>(JsonFilePreferences::standardPath()));
  if (LaunchOptions::testMode(*domains.standard)) {
    const QString suite = JsonFilePreferences::testSuitePath();
    JsonFilePreferences::erase(suite);
    domains.testSuite = std::make_unique<JsonFilePreferences>(suite);
  }
  return domains;
}

}  // namespace kivo
