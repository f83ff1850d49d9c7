// A short digest of a field value, for telling a value that changed from
// one that did not without keeping the value: a review keeps one for each
// document it may write (4 bytes apiece), and Apply leaves a document whose
// field no longer has the digest of what the review showed. Digests are
// compared within one program only. A field without a value has a digest
// of its own, apart from the empty text's.
#pragma once

#include <QString>

#include <cstdint>

namespace qm {

using ValueDigest = std::uint32_t;

ValueDigest DigestOf(const QString& value);

}  // namespace qm
