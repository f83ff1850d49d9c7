#include "engine/query/query_text.h"

#include <utility>

#include "platform/error.h"

namespace qm {

namespace {

bool IsFolderIdList(const QString& text) {
  bool expectDigit = true;
  for (const QChar c : text) {
    if (c >= u'0' && c <= u'9') {
      expectDigit = false;
    } else if (c == u',' && !expectDigit) {
      expectDigit = true;
    } else {
      return false;
    }
  }
  return !expectDigit;  // non-empty, and no comma at the end
}

// The pattern between its delimiters, every delimiter inside doubled: the SQL
// way of writing the delimiter itself, so the literal can never end early.
QString QuotedLiteral(const QString& content, QChar delimiter) {
  QString quoted;
  quoted.reserve(content.size() + 2);
  quoted.append(delimiter);
  for (const QChar c : content) {
    quoted.append(c);
    if (c == delimiter) {
      quoted.append(delimiter);
    }
  }
  quoted.append(delimiter);
  return quoted;
}

}  // namespace

QueryScope::QueryScope(bool wholeCollection, QString folderIdList)
    : wholeCollection_(wholeCollection), folderIdList_(std::move(folderIdList)) {}

QueryScope QueryScope::WholeCollection() { return QueryScope(true, QString()); }

QueryScope QueryScope::Folders(const QString& folderIdList) {
  if (!IsFolderIdList(folderIdList)) {
    throw Error(kInvalidScopeError, QStringLiteral("QueryScope"),
                QStringLiteral("'%1' is not a list of folder IDs.").arg(folderIdList));
  }
  return QueryScope(false, folderIdList);
}

QString LikePatternFor(const QString& searchText) {
  QString pattern;
  pattern.reserve(searchText.size() + 2);
  pattern.append(u'%');
  const qsizetype n = searchText.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = searchText.at(i);
    if (c.isHighSurrogate() && i + 1 < n && searchText.at(i + 1).isLowSurrogate()) {
      pattern.append(c);
      pattern.append(searchText.at(++i));
    } else if (c.isNull() || c.isSurrogate()) {
      pattern.append(u'_');
    } else {
      pattern.append(c);
    }
  }
  pattern.append(u'%');
  return pattern;
}

QString BuildFieldQueryText(SearchField field, const std::vector<qlonglong>& entryIds) {
  QString query = QStringLiteral("SELECT EntryID, ") + ColumnName(field) +
                  QStringLiteral(" FROM Document WHERE EntryID IN (");
  for (std::size_t i = 0; i < entryIds.size(); ++i) {
    if (i > 0) {
      query += u',';
    }
    query += QString::number(entryIds[i]);
  }
  return query + u')';
}

QString BuildQueryText(const QueryScope& scope, SearchField field, const QString& searchText) {
  QString query =
      scope.IsWholeCollection()
          ? QStringLiteral("SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND ")
          : QStringLiteral("SELECT EntryID FROM Document WHERE VisibleInFolderID IN (") +
                scope.FolderIdList() + QStringLiteral(") AND ");
  const QString column = ColumnName(field);
  if (searchText.isEmpty()) {
    return query + u'(' + column + QStringLiteral(" IS NULL OR ") + column +
           QStringLiteral(" = '')");
  }
  // An apostrophe in the text picks the double quote as delimiter. Doubling
  // only the chosen delimiter leaves the query of every text that lacks one
  // of the two quote characters exactly as it has always been.
  const QChar delimiter = searchText.contains(u'\'') ? QChar(u'"') : QChar(u'\'');
  return query + column + QStringLiteral(" LIKE ") +
         QuotedLiteral(LikePatternFor(searchText), delimiter);
}

}  // namespace qm
