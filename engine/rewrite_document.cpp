#include "engine/rewrite_document.h"

#include "engine/text_rewrite.h"

namespace qm {

namespace {

QString ReadField(const HostDocument& document, SearchField field) {
  switch (field) {
    case SearchField::Title:
      return document.Title();
    case SearchField::Comment:
      return document.Comment();
    case SearchField::Url:
      return document.Url();
  }
  ThrowUnknownField(field);
}

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
      RewriteValue(ReadField(document, state.fieldIndex), state.searchText, state.replaceText);
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
