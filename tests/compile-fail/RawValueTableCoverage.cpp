// Only compiled, by a test: a raw-value table that leaves out the last case of its enumeration
// must not build. With KIVO_EVERY_CASE the same table lists every case and builds.
#include "metrics/RawValueTable.h"

namespace kivo {

enum class Fruit { apple, pear, plum };

#ifdef KIVO_EVERY_CASE
inline constexpr auto kFruitRawValues =
    rawValueTable<Fruit>({{Fruit::apple, "apple"}, {Fruit::pear, "pear"}, {Fruit::plum, "plum"}});
#else
inline constexpr auto kFruitRawValues =
    rawValueTable<Fruit>({{Fruit::apple, "apple"}, {Fruit::pear, "pear"}});
#endif

struct Fruits : RawValueLookups<kFruitRawValues> {};

static_assert(Fruits::rawValue(Fruit::pear) == "pear");

}  // namespace kivo
