// A document of the stand-in host, and the Document table's columns that
// hold its fields.
//
// kDocumentColumns is the host's one list of fields: the values a document
// keeps, the statements that read and save them and the columns a new
// collection file is made with all follow it. A new field is a column here
// and its accessors in SqliteDocument, nothing more in the host. Files made
// before it lack its column; it would have to be added when they are opened.
//
// The document keeps the fields as they were read; writes change only the
// copy until Save, which stores just the fields that were written, so that a
// field the host changed meanwhile is not undone.
#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "hostlib/host_library.h"

namespace qm::host {

inline constexpr std::array<std::string_view, 3> kDocumentColumns{"Title", "Comment", "Url"};

// The position of a column in kDocumentColumns; a name that is none of them
// does not compile.
consteval std::size_t ColumnOf(std::string_view name) {
  for (std::size_t i = 0; i < kDocumentColumns.size(); ++i) {
    if (kDocumentColumns[i] == name) {
      return i;
    }
  }
  throw "no such column in kDocumentColumns";
}

// A document's fields by column, as read: a null QString is a field without
// a value.
using DocumentFields = std::array<QString, kDocumentColumns.size()>;
// What to save by column: nullopt leaves the field as it is, a null QString
// stores NULL.
using DocumentChanges = std::array<std::optional<QString>, kDocumentColumns.size()>;

class SqliteCollection;

class SqliteDocument : public HostDocument {
 public:
  SqliteDocument(std::shared_ptr<SqliteCollection> collection, std::int64_t entryId,
                 DocumentFields fields);

  QString Title() const override { return fields_[ColumnOf("Title")]; }
  void SetTitle(const QString& value) override { Set(ColumnOf("Title"), value); }
  void ClearTitle() override { Clear(ColumnOf("Title")); }
  QString Comment() const override { return fields_[ColumnOf("Comment")]; }
  void SetComment(const QString& value) override { Set(ColumnOf("Comment"), value); }
  void ClearComment() override { Clear(ColumnOf("Comment")); }
  QString Url() const override { return fields_[ColumnOf("Url")]; }
  void SetUrl(const QString& value) override { Set(ColumnOf("Url"), value); }
  void ClearUrl() override { Clear(ColumnOf("Url")); }

  void Save() override;

 private:
  void Set(std::size_t column, const QString& value);
  void Clear(std::size_t column);

  std::shared_ptr<SqliteCollection> collection_;
  std::int64_t entryId_;
  DocumentFields fields_;
  DocumentChanges changes_;
};

}  // namespace qm::host
