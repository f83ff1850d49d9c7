#include "engine/review_row.h"

#include "engine/document_field.h"
#include "platform/error.h"

namespace qm {

ReviewRow ReadReviewRow(HostCollection& collection, const QVariant& entryId,
                        const ReviewCriteria& criteria) {
  const std::shared_ptr<HostDocument> document = collection.GetDocument(entryId);
  ReviewRow row;
  row.title = document->Title();
  row.before = ReadDocumentField(*document, criteria.field);
  const RewriteResult rewrite =
      RewriteValue(row.before, criteria.searchText, criteria.replaceText, row.spans);
  row.changes = rewrite.changed;
  row.after = rewrite.value;
  return row;
}

ReviewRow ReadReviewRowForDisplay(HostCollection& collection, const QVariant& entryId,
                                  const ReviewCriteria& criteria) {
  try {
    return ReadReviewRow(collection, entryId, criteria);
  } catch (const Error& error) {
    ReviewRow row;
    row.failure = error.description();
    return row;
  }
}

bool ReviewChanges(HostCollection& collection, const QVariant& entryId,
                   const ReviewCriteria& criteria) {
  const std::shared_ptr<HostDocument> document = collection.GetDocument(entryId);
  return RewriteValue(ReadDocumentField(*document, criteria.field), criteria.searchText,
                      criteria.replaceText)
      .changed;
}

}  // namespace qm
