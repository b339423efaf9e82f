#pragma once

// The test program runs in UTC; a test of local times sets the zone it needs for its own scope.

#include <QByteArray>

#include <ctime>

namespace kivo::test {

class LocalZone {
 public:
  explicit LocalZone(const char* zone) : previous_(qgetenv("TZ")) {
    qputenv("TZ", zone);
    tzset();
  }
  ~LocalZone() {
    qputenv("TZ", previous_);
    tzset();
  }
  LocalZone(const LocalZone&) = delete;
  LocalZone& operator=(const LocalZone&) = delete;

 private:
  QByteArray previous_;
};

}  // namespace kivo::test
