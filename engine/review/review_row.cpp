#include "engine/review/review_row.h"

#include "engine/query/document_field.h"
#include "platform/error.h"

namespace qm {

ReviewRow MakeReviewRow(QString title, QString before, const TextRewrite& rewrite) {
  ReviewRow row;
  row.title = std::move(title);
  row.before = std::move(before);
  RewriteResult result = rewrite(row.before, &row.spans);
  row.changes = result.changed;
  row.after = std::move(result.value);
  return row;
}

ReviewRow ReadReviewRow(HostCollection& collection, const QVariant& entryId, SearchField field,
                        const TextRewrite& rewrite) {
  try {
    const std::shared_ptr<HostDocument> document = collection.GetDocument(entryId);
    return MakeReviewRow(document->Title(), ReadDocumentField(*document, field), rewrite);
  } catch (const Error& error) {
    ReviewRow row;
    row.failure = error.description();
    return row;
  }
}

}  // namespace qm
