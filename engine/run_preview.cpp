#include "engine/run_preview.h"

#include <QStringList>

#include "engine/document_field.h"
#include "engine/mod_resource.h"
#include "engine/text_rewrite.h"
#include "engine/undo_texts.h"

namespace qm {

QString RunPreview(WindowPort& port, HostCollection& collection, HostRecordset& recordset,
                   std::int64_t count, const RunState& state) {
  static const QString kEntryId = QStringLiteral("EntryID");
  const QString changedLine = port.Text(undo_text::kPreviewLine);
  const QString unchangedLine = port.Text(undo_text::kPreviewUnchanged);
  const TextRewrite rewriteOf(state.searchText, state.replaceText);
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
    lines.append(modResource::printf(port.Text(undo_text::kPreviewNotListed),
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
