#include "engine/document_texts.h"

namespace qm {
namespace {

const QString kValue = QStringLiteral("ReviewValue");
const QString kTitle = QStringLiteral("ReviewTitle");

}  // namespace

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

std::unordered_map<std::int64_t, DocumentTexts> ReadDocumentTexts(
    HostConnection& connection, SearchField field, std::span<const std::int64_t> entryIds,
    bool withTitle) {
  static const QString kEntryId = QStringLiteral("EntryID");
  std::unordered_map<std::int64_t, DocumentTexts> texts;
  texts.reserve(entryIds.size());
  const std::shared_ptr<HostRecordset> rows =
      connection.OpenRecordset(BuildTextsQueryText(field, entryIds, withTitle));
  while (!rows->Eof()) {
    DocumentTexts& document = texts[rows->Value(kEntryId).toLongLong()];
    document.value = rows->Value(kValue).toString();
    if (withTitle) {
      document.title = rows->Value(kTitle).toString();
    }
    rows->MoveNext();
  }
  rows->Close();
  return texts;
}

}  // namespace qm
