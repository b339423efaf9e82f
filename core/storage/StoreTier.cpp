#include "storage/StoreTier.h"

#include <QString>

#include <array>

namespace kivo {

double StoreTiers::step(StoreTier tier) {
  switch (tier) {
    case StoreTier::raw:
      return 0;
    case StoreTier::minute:
      return 60;
    case StoreTier::hour:
      return 3600;
  }
  return 0;
}

}  // namespace kivo
