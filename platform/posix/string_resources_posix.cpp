#include "platform/string_resources.h"

namespace qm::platform {

std::optional<QString> LoadStringResource(std::uint16_t /*id*/, std::uint16_t /*langId*/) {
  return std::nullopt;
}

}  // namespace qm::platform
