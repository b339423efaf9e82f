#include "texts/PowerText.h"

#include "texts/Localized.h"

namespace kivo::PowerText {

QString state(const PowerSample& sample) {
  if (sample.isCharged) return tr("Fully charged");
  if (sample.isCharging) return tr("Charging");
  switch (sample.source) {
    case PowerSourceKind::ac:
      return tr("On AC power, not charging");
    case PowerSourceKind::battery:
      return tr("On battery");
    case PowerSourceKind::ups:
      return tr("On UPS power");
    case PowerSourceKind::unknown:
      break;
  }
  return tr("Power source unknown");
}

QString source(PowerSourceKind kind) {
  switch (kind) {
    case PowerSourceKind::ac:
      return tr("AC adapter");
    case PowerSourceKind::battery:
      return tr("Battery");
    case PowerSourceKind::ups:
      return tr("UPS");
    case PowerSourceKind::unknown:
      break;
  }
  return tr("Unknown");
}

}  // namespace kivo::PowerText
