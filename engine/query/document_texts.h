// The title and the chosen field of many documents at once, for the run's
// batches, a review's passes and undo: one query through the collection's
// database connection for a chunk of EntryIDs. A document object apiece
// costs the host a read transaction of its own, which for a million
// documents is most of the time; the query reads the same columns the
// document objects do, and where its answer is not a text (a host that keeps
// a number in a text column, say) the document object is asked instead.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/query/search_field.h"
#include "hostlib/host_library.h"

namespace qm {

struct DocumentTexts {
  // Empty unless asked for.
  QString title;
  // A null QString for a field without a value.
  QString value;
};

// "SELECT EntryID, <column> AS ReviewValue[, Title AS ReviewTitle] FROM
// Document WHERE EntryID IN (...)": nothing but the digits of whole numbers
// reaches the text. At least one EntryID.
QString BuildTextsQueryText(SearchField field, std::span<const std::int64_t> entryIds,
                            bool withTitle);

// The texts of the documents with these EntryIDs, in their order; none for
// a document that no longer exists. Host failures propagate.
std::vector<std::optional<DocumentTexts>> ReadDocumentTexts(HostCollection& collection,
                                                            HostConnection& connection,
                                                            SearchField field,
                                                            std::span<const std::int64_t> entryIds,
                                                            bool withTitle);

// A field's column value as the document object would read it: a null
// QString for no value; nothing for a value that is no text, which only the
// document object can read.
std::optional<QString> AsText(const QVariant& value);

// Whether the document with this EntryID exists, as far as a query can tell:
// none for an EntryID that is no whole number, which no query can name.
std::optional<bool> DocumentExists(HostConnection& connection, const QVariant& entryId);

}  // namespace qm
