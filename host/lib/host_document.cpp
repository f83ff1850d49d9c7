// A document of the stand-in host. It keeps the fields as they were read;
// writes change only the copy until Save, which stores just the fields that
// were written, so that a field the host changed meanwhile is not undone.
#include "host/lib/host_collection.h"

namespace qm::host {
namespace {

// What was written is text; even an empty one is stored as a value.
QString Written(const QString& value) { return value.isNull() ? QStringLiteral("") : value; }

class SqliteDocument : public HostDocument {
 public:
  SqliteDocument(std::shared_ptr<SqliteCollection> collection, std::int64_t entryId,
                 DocumentFields fields)
      : collection_(std::move(collection)), entryId_(entryId), fields_(std::move(fields)) {}

  QString Title() const override { return fields_.title; }
  void SetTitle(const QString& value) override { Set(fields_.title, changes_.title, value); }
  QString Comment() const override { return fields_.comment; }
  void SetComment(const QString& value) override { Set(fields_.comment, changes_.comment, value); }
  QString Url() const override { return fields_.url; }
  void SetUrl(const QString& value) override { Set(fields_.url, changes_.url, value); }

  void ClearTitle() override { Clear(fields_.title, changes_.title); }
  void ClearComment() override { Clear(fields_.comment, changes_.comment); }
  void ClearUrl() override { Clear(fields_.url, changes_.url); }

  void Save() override {
    if (!changes_.title && !changes_.comment && !changes_.url) {
      return;
    }
    collection_->SaveDocument(entryId_, changes_);
    changes_ = DocumentChanges();
  }

 private:
  static void Set(QString& field, std::optional<QString>& change, const QString& value) {
    field = Written(value);
    change = field;
  }

  // A change to a null text stores NULL (DocumentChanges).
  static void Clear(QString& field, std::optional<QString>& change) {
    field = QString();
    change = QString();
  }

  std::shared_ptr<SqliteCollection> collection_;
  std::int64_t entryId_;
  DocumentFields fields_;
  DocumentChanges changes_;
};

}  // namespace

std::shared_ptr<HostDocument> MakeDocument(std::shared_ptr<SqliteCollection> collection,
                                           std::int64_t entryId, DocumentFields fields) {
  return std::make_shared<SqliteDocument>(std::move(collection), entryId, std::move(fields));
}

}  // namespace qm::host
