#include "storage/StoreLog.h"

namespace kivo {

Q_LOGGING_CATEGORY(storeLog, "kivo.store")

}  // namespace kivo
