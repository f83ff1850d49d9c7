// What the review shows of one document: its title, the chosen field before
// and after the run's rewrite, and where the rewrite took text out and put
// text in. Computed by the run's own rewrite from the document as it reads
// at the moment; reading only, nothing is written.
#pragma once

#include <QString>
#include <QVariant>

#include <vector>

#include "engine/query/search_field.h"
#include "engine/run/text_rewrite.h"
#include "hostlib/host_library.h"

namespace qm {

// What a review is about: the run's field, search text, replacement (empty
// in remove mode) and search options.
struct ReviewCriteria {
  SearchField field = SearchField::Title;
  QString searchText;
  QString replaceText;
  SearchOptions options;
};

struct ReviewRow {
  // As the document reads before the rewrite (for a run on the title, the
  // title the user knows it by).
  QString title;
  // Null for a field without a value.
  QString before;
  QString after;
  std::vector<RewriteSpan> spans;
  // Whether the run would write the document.
  bool changes = false;
  // Set instead of the fields when the document could not be read: the
  // host's description of the failure.
  QString failure;
};

// The row of a document that reads `title` and `before`.
ReviewRow MakeReviewRow(QString title, QString before, const TextRewrite& rewrite);

// Reads one document through its document object. Never throws: a failure
// becomes a row that says it.
ReviewRow ReadReviewRow(HostCollection& collection, const QVariant& entryId, SearchField field,
                        const TextRewrite& rewrite);

}  // namespace qm
