#include "engine/rewrite_document.h"

#include "engine/document_field.h"
#include "engine/text_rewrite.h"

namespace qm {

namespace {

void WriteField(HostDocument& document, SearchField field, const QString& value) {
  switch (field) {
    case SearchField::Title:
      document.SetTitle(value);
      return;
    case SearchField::Comment:
      document.SetComment(value);
      return;
    case SearchField::Url:
      document.SetUrl(value);
      return;
  }
  ThrowUnknownField(field);
}

}  // namespace

void RewriteDocument(WindowPort& port, RunState& state, HostDocument& document) {
  port.ProcessEvents();
  port.SetNotes(document.Title());
  port.Pause(kRewritePauseMs);
  const RewriteResult rewrite =
      RewriteValue(ReadDocumentField(document, state.fieldIndex), state.searchText, state.replaceText);
  if (rewrite.changed) {
    WriteField(document, state.fieldIndex, rewrite.value);
    port.ProcessEvents();
    port.SetNotes(document.Title());
    document.Save();
    ++state.updatedCount;
  }
  port.SetNotes(QString());
}

}  // namespace qm
