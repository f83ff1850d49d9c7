// Whether a value is a usable whole number, and which: the one rule for
// the EntryIDs hosts deliver, which the run, the review, undo, the journal
// and the stand-in host all follow.
//
// A value of an integer type that fits in 64 bits is one, and so is a
// floating one without a fraction (a host may deliver whole numbers either
// way). A text is none, even when it reads as a number: it names a document
// as the text it is. Nothing else is one either.
#pragma once

#include <QVariant>

#include <cstdint>
#include <optional>

namespace qm {

std::optional<std::int64_t> WholeNumber(const QVariant& value);

}  // namespace qm
