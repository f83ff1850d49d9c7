#include "engine/query/document_texts.h"

#include <unordered_map>

#include "engine/query/document_field.h"
#include "engine/query/entry_id_column.h"

namespace qm {
namespace {

const QString kEntryId = QStringLiteral("EntryID");
const QString kValue = QStringLiteral("ReviewValue");
const QString kTitle = QStringLiteral("ReviewTitle");

}  // namespace

std::optional<QString> AsText(const QVariant& value) {
  if (!value.isValid()) {
    return QString();
  }
  if (value.typeId() != QMetaType::QString) {
    return std::nullopt;
  }
  QString text = value.toString();
  // An empty text is a value, unlike a field without one.
  return text.isNull() ? QStringLiteral("") : text;
}

QString BuildTextsQueryText(SearchField field, std::span<const std::int64_t> entryIds,
                            bool withTitle) {
  QString query =
      QStringLiteral("SELECT EntryID, ") + ColumnName(field) + QStringLiteral(" AS ") + kValue;
  if (withTitle) {
    query += QStringLiteral(", Title AS ") + kTitle;
  }
  query += QStringLiteral(" FROM Document WHERE EntryID IN (");
  for (std::size_t i = 0; i < entryIds.size(); ++i) {
    if (i > 0) {
      query += QLatin1Char(',');
    }
    query += QString::number(entryIds[i]);
  }
  return query + QLatin1Char(')');
}

std::vector<std::optional<DocumentTexts>> ReadDocumentTexts(HostCollection& collection,
                                                            HostConnection& connection,
                                                            SearchField field,
                                                            std::span<const std::int64_t> entryIds,
                                                            bool withTitle) {
  struct Found {
    std::optional<QString> title;
    std::optional<QString> value;
  };
  std::unordered_map<std::int64_t, Found> found;
  found.reserve(entryIds.size());
  const std::shared_ptr<HostRecordset> rows =
      connection.OpenRecordset(BuildTextsQueryText(field, entryIds, withTitle));
  for (; !rows->Eof(); rows->MoveNext()) {
    Found& document = found[rows->Value(kEntryId).toLongLong()];
    document.value = AsText(rows->Value(kValue));
    document.title = withTitle ? AsText(rows->Value(kTitle)) : QString();
  }
  rows->Close();
  std::vector<std::optional<DocumentTexts>> texts;
  texts.reserve(entryIds.size());
  for (const std::int64_t id : entryIds) {
    const auto document = found.find(id);
    if (document == found.end()) {
      texts.emplace_back();
    } else if (document->second.value && document->second.title) {
      texts.push_back(DocumentTexts{*document->second.title, *document->second.value});
    } else {
      const auto object = collection.GetDocument(QVariant(static_cast<qlonglong>(id)));
      texts.push_back(DocumentTexts{withTitle ? object->Title() : QString(),
                                    ReadDocumentField(*object, field)});
    }
  }
  return texts;
}

std::optional<bool> DocumentExists(HostConnection& connection, const QVariant& entryId) {
  const std::optional<std::int64_t> id = WholeNumber(entryId);
  if (!id) {
    return std::nullopt;
  }
  const std::shared_ptr<HostRecordset> rows = connection.OpenRecordset(
      QStringLiteral("SELECT EntryID FROM Document WHERE EntryID = ") + QString::number(*id));
  const bool exists = !rows->Eof();
  rows->Close();
  return exists;
}

}  // namespace qm
