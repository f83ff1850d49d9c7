// The title and the chosen field of many documents at once, for a pass over
// a whole review: one query through the collection's database connection for
// a chunk of EntryIDs. A document object apiece costs the host a read
// transaction of its own, which for a million documents is most of the
// time; the query reads the same columns the run's document objects do.
#pragma once

#include <QString>

#include <cstdint>
#include <span>
#include <unordered_map>

#include "engine/search_field.h"
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

// The texts of the documents found, by EntryID; a document that no longer
// exists is missing. Host failures propagate.
std::unordered_map<std::int64_t, DocumentTexts> ReadDocumentTexts(
    HostConnection& connection, SearchField field, std::span<const std::int64_t> entryIds,
    bool withTitle);

}  // namespace qm
