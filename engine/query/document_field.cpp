#include "engine/query/document_field.h"

namespace qm {

QString ReadDocumentField(const HostDocument& document, SearchField field) {
  return (document.*FieldRecordOf(field).read)();
}

void WriteDocumentField(HostDocument& document, SearchField field, const QString& value) {
  (document.*FieldRecordOf(field).write)(value);
}

void RestoreDocumentField(HostDocument& document, SearchField field, const QString& value) {
  const FieldRecord& record = FieldRecordOf(field);
  if (value.isNull()) {
    (document.*record.clear)();
  } else {
    (document.*record.write)(value);
  }
}

}  // namespace qm
