// The chosen field of a host document, read, written or emptied of its value
// by SearchField, for the journal, the preview and undo.
#pragma once

#include <QString>

#include "engine/search_field.h"
#include "hostlib/host_library.h"

namespace qm {

// A null QString for a field the host keeps without a value.
QString ReadDocumentField(const HostDocument& document, SearchField field);
// A null `value` takes the field's value away; any other text is stored as
// it is, the empty text included.
void RestoreDocumentField(HostDocument& document, SearchField field, const QString& value);

}  // namespace qm
