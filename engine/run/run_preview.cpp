#include "engine/run/run_preview.h"

#include <QStringList>

#include "engine/query/document_field.h"
#include "engine/run/text_rewrite.h"
#include "text/mod_resource.h"

namespace qm {

QString RunPreview(HostCollection& collection, HostRecordset& recordset, std::int64_t count,
                   const RunState& state, TextLanguage language) {
  static const QString kEntryId = QStringLiteral("EntryID");
  const QString changedLine = Text(undo_text::kPreviewLine, language);
  const QString unchangedLine = Text(undo_text::kPreviewUnchanged, language);
  const TextRewrite rewriteOf(state.searchText, state.replaceText, state.options);
  QStringList lines;
  std::int64_t listed = 0;
  for (; listed < kPreviewDocuments && !recordset.Eof(); ++listed) {
    const std::shared_ptr<HostDocument> document =
        collection.GetDocument(recordset.Value(kEntryId));
    const QString before = ReadDocumentField(*document, state.fieldIndex);
    const RewriteResult rewrite = rewriteOf(before);
    // After a change of the title the list shows the title as it was, which
    // is the one the user knows the document by.
    lines.append(rewrite.changed
                     ? modResource::printf(changedLine, {document->Title(), before, rewrite.value})
                     : modResource::printf(unchangedLine, {document->Title(), before}));
    recordset.MoveNext();
  }
  if (count > listed) {
    lines.append(modResource::printf(Text(undo_text::kPreviewNotListed, language),
                                     {static_cast<qlonglong>(count - listed)}));
  }
  return lines.join(QLatin1Char('\n'));
}

QVariant RereadRecordset::Value(const QString& field) const {
  // The run's query selects EntryID alone; for any other column the
  // snapshot answers (that is, refuses) as it would.
  if (!Replaying() || field != QLatin1String("EntryID")) {
    return inner_.Value(field);
  }
  return read_[next_];
}

void RereadRecordset::MoveNext() {
  if (Replaying()) {
    ++next_;
    return;
  }
  if (!rewound_) {
    read_.push_back(inner_.Value(QStringLiteral("EntryID")));
  }
  inner_.MoveNext();
}

}  // namespace qm
