#include "texts/SeverityTitle.h"

#include "texts/Localized.h"

namespace kivo::Severities {

QString title(Severity severity) {
  switch (severity) {
    case Severity::info:
      break;
    case Severity::warning:
      return tr("Warning");
    case Severity::critical:
      return tr("Critical");
  }
  return tr("Info");
}

}  // namespace kivo::Severities
