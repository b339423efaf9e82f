#include "features/thermal/CapabilityText.h"

#include "texts/Localized.h"

namespace kivo {

QString CapabilityText::name(CapabilityClass classification) {
  switch (classification) {
    case CapabilityClass::publicAPI:
      return tr("Kernel interface");
    case CapabilityClass::userAuthorization:
      return tr("Needs your permission");
    case CapabilityClass::systemCommand:
      return tr("System command");
    case CapabilityClass::privilegedHelper:
      return tr("Needs a privileged helper");
    case CapabilityClass::unavailable:
      break;
    case CapabilityClass::estimated:
      return tr("Estimate");
    case CapabilityClass::bestEffort:
      return tr("Best effort");
  }
  return tr("Not exposed");
}

}  // namespace kivo
