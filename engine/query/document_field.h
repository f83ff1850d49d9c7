// The chosen field of a host document, read, written or emptied of its value
// through its record in kFields, for the run, the journal, the preview and
// undo. Each fails with kUnknownFieldError for a field that is none of them.
#pragma once

#include <QString>

#include "engine/query/search_field.h"
#include "hostlib/host_library.h"

namespace qm {

// A null QString for a field the host keeps without a value.
QString ReadDocumentField(const HostDocument& document, SearchField field);
// Stores `value` as it is: a null `value` stores an empty text.
void WriteDocumentField(HostDocument& document, SearchField field, const QString& value);
// A null `value` takes the field's value away; any other text is stored as
// it is, the empty text included.
void RestoreDocumentField(HostDocument& document, SearchField field, const QString& value);

}  // namespace qm
