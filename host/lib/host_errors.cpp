#include "host/lib/host_errors.h"

namespace qm::host {

void Throw(std::int32_t number, const char* source, const QString& description) {
  throw Error(number, QString::fromLatin1(source), description);
}

}  // namespace qm::host
