#include "platform/UserFolders.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(UserFolders, FollowTheXdgRulesAndFallBackToThePasswordDatabase) {
  const struct {
    const char* name;
    QString home, configHome, dataHome, passwordHome;
    QString config, data;
  } cases[] = {
      {"everything given", "/home/ann", "/cfg", "/data", "/home/pw", "/cfg", "/data"},
      {"only HOME", "/home/ann", "", "", "/home/pw", "/home/ann/.config", "/home/ann/.local/share"},
      {"HOME unset", "", "", "", "/home/pw", "/home/pw/.config", "/home/pw/.local/share"},
      {"HOME unset, XDG given", "", "/cfg", "/data", "/home/pw", "/cfg", "/data"},
      {"relative XDG folders are ignored", "/home/ann", "cfg", "./data", "/home/pw", "/home/ann/.config",
       "/home/ann/.local/share"},
      {"no home anywhere", "", "", "", "", "/.config", "/.local/share"},
      {"the root as home", "/", "", "", "", "/.config", "/.local/share"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int lookups = 0;
    const UserFolders::Environment environment{c.home, c.configHome, c.dataHome, [&] {
                                                 ++lookups;
                                                 return c.passwordHome;
                                               }};
    EXPECT_EQ(UserFolders::configHome(environment), c.config);
    EXPECT_EQ(UserFolders::dataHome(environment), c.data);
    // A HOME that is set is taken as it stands, without asking the database.
    if (!c.home.isEmpty()) {
      EXPECT_EQ(lookups, 0);
    }
  }
}

}  // namespace
}  // namespace kivo
