#pragma once

#include "settings/JsonFilePreferences.h"
#include "settings/LaunchArgumentPreferences.h"

#include <QStringList>

#include <memory>

namespace kivo {

// The preference domains of one launch. The standard domain (launch arguments over the
// settings file) answers the launch options; the settings live in it too, except in
// interface-test mode (KIVOUITest), where they live in a separate suite erased at launch.
struct PreferenceDomains {
  std::unique_ptr<LaunchArgumentPreferences> standard;
  std::unique_ptr<JsonFilePreferences> testSuite;  // only in test mode

  // Where AppSettings reads and writes.
  Preferences& settings() const;

  // arguments as QCoreApplication::arguments() gives them.
  static PreferenceDomains forLaunch(const QStringList& arguments);
};

}  // namespace kivo
