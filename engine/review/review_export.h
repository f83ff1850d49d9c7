// The review's list as a CSV file (engine/export/csv_export.h), as the
// review shows it before Apply: first every document that changes, in the
// list's order, its state saying whether its box is checked, then every
// document left as it is. Each row is read from its document as it reads
// now, a chunk at a time, as the review reads rows for showing; one that
// cannot be read says so in its title.
//
// The list must be complete. Host failures propagate and leave any file
// there as it was; a file that cannot be written fails as WriteCsvFile does.
#pragma once

#include <QString>

#include <cstdint>

#include "engine/review/review_list.h"
#include "text/texts.h"

namespace qm {

// The number of rows written.
std::int64_t ExportReviewList(const ReviewList& list, const QString& path, TextLanguage language);

}  // namespace qm
