// The failures of the stand-in host, all thrown as qm::Error.
//
// The stand-in host owns the numbers 0x80041100 to 0x800411FF. The source
// names where the failure arose: the object library the tool uses, the
// catalog of collections in the registry, a collection's database, or the
// administration functions behind qmhost.
#pragma once

#include <QString>

#include <cstdint>

#include "platform/error.h"

namespace qm::host {

inline constexpr char kLibrarySource[] = "QMHost.Library";
inline constexpr char kCatalogSource[] = "QMHost.Catalog";
inline constexpr char kDatabaseSource[] = "QMHost.Database";
inline constexpr char kAdminSource[] = "QMHost.Admin";

namespace errc {
// No host is registered in the registry.
inline constexpr std::int32_t kNoHost = ErrorNumber(0x80041101u);
// A catalog value in the registry is missing or malformed.
inline constexpr std::int32_t kCatalogDamaged = ErrorNumber(0x80041102u);
inline constexpr std::int32_t kUnknownCollection = ErrorNumber(0x80041103u);
inline constexpr std::int32_t kUnknownFolder = ErrorNumber(0x80041104u);
inline constexpr std::int32_t kUnknownDocument = ErrorNumber(0x80041105u);
// The database engine failed (busy past the timeout, disk, corruption...).
inline constexpr std::int32_t kDatabase = ErrorNumber(0x80041106u);
// A query that is not exactly one read-only statement.
inline constexpr std::int32_t kQueryRefused = ErrorNumber(0x80041107u);
// A value handed in that cannot be used (a key that is no decimal ID...).
inline constexpr std::int32_t kBadArgument = ErrorNumber(0x80041108u);
// A recordset asked for a row past its end, a column it lacks, or used after
// Close.
inline constexpr std::int32_t kRecordset = ErrorNumber(0x80041109u);
// The registry refused a write.
inline constexpr std::int32_t kRegistry = ErrorNumber(0x8004110Au);
// A file that is not a collection database of this host.
inline constexpr std::int32_t kNotACollection = ErrorNumber(0x8004110Bu);
// A document that was deleted by someone else before it was saved.
inline constexpr std::int32_t kDocumentGone = ErrorNumber(0x8004110Cu);
// A program asked for the folder chooser without linking it (host/chooser/).
inline constexpr std::int32_t kNoFolderChooser = ErrorNumber(0x8004110Du);
}  // namespace errc

[[noreturn]] void Throw(std::int32_t number, const char* source, const QString& description);

}  // namespace qm::host
