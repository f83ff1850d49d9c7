#include "engine/run/value_digest.h"

#include <QHashFunctions>

namespace qm {
namespace {

// Any fixed seed: digests never leave the program.
constexpr std::size_t kSeed = 0x51d7'93a5;

}  // namespace

ValueDigest DigestOf(const QString& value) {
  const std::uint64_t hash =
      static_cast<std::uint64_t>(qHash(QStringView(value), kSeed)) ^ (value.isNull() ? 1u : 0u);
  return static_cast<ValueDigest>(hash ^ (hash >> 32));
}

}  // namespace qm
