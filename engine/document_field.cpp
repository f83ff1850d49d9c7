#include "engine/document_field.h"

namespace qm {

QString ReadDocumentField(const HostDocument& document, SearchField field) {
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

void RestoreDocumentField(HostDocument& document, SearchField field, const QString& value) {
  const bool clear = value.isNull();
  switch (field) {
    case SearchField::Title:
      clear ? document.ClearTitle() : document.SetTitle(value);
      return;
    case SearchField::Comment:
      clear ? document.ClearComment() : document.SetComment(value);
      return;
    case SearchField::Url:
      clear ? document.ClearUrl() : document.SetUrl(value);
      return;
  }
  ThrowUnknownField(field);
}

}  // namespace qm
