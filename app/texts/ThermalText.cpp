#include "texts/ThermalText.h"

#include "texts/Localized.h"

namespace kivo::ThermalText {

QString name(ThermalLevel level) {
  switch (level) {
    case ThermalLevel::nominal:
      return tr("Nominal");
    case ThermalLevel::fair:
      return tr("Fair");
    case ThermalLevel::serious:
      return tr("Serious");
    case ThermalLevel::critical:
      return tr("Critical");
  }
  return tr("Nominal");
}

QString explanation(ThermalLevel level) {
  switch (level) {
    case ThermalLevel::nominal:
      return tr("The system is within its normal thermal range.");
    case ThermalLevel::fair:
      return tr("The system is warm. The kernel may begin to reduce performance.");
    case ThermalLevel::serious:
      return tr("The system is hot. The kernel may reduce performance.");
    case ThermalLevel::critical:
      return tr(
          "The system is at its critical temperature. The kernel shuts the computer down to protect it.");
  }
  return tr("The system is within its normal thermal range.");
}

QString caption(std::optional<ThermalLevel> level) {
  return level ? tr("Estimated from thermal zones") : QString();
}

}  // namespace kivo::ThermalText
