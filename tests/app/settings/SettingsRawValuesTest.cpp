#include "RawValueRoundTrip.h"

#include "settings/AppearanceChoice.h"
#include "settings/DensityChoice.h"
#include "settings/MenuBarItem.h"
#include "settings/WidgetConfig.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(SettingsRawValues, EveryTableRoundTrips) {
  test::expectRoundTrips<AppearanceChoices>("AppearanceChoice");
  test::expectRoundTrips<DensityChoices>("DensityChoice");
  test::expectRoundTrips<MenuBarItems>("MenuBarItem");
  test::expectRoundTrips<WidgetKinds>("WidgetKind");
}

}  // namespace
}  // namespace kivo
