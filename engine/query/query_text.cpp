#include "engine/query/query_text.h"

#include <utility>

#include "engine/query/required_literal.h"
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

namespace {

QString ContainsPattern(const QString& text, bool escaped) {
  QString pattern;
  pattern.reserve(text.size() + 2);
  pattern.append(u'%');
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
      pattern.append(c);
      pattern.append(text.at(++i));
    } else if (c.isNull() || c.isSurrogate()) {
      pattern.append(u'_');
    } else {
      if (escaped && (c == u'%' || c == u'_' || c == u'\\')) {
        pattern.append(u'\\');
      }
      pattern.append(c);
    }
  }
  pattern.append(u'%');
  return pattern;
}

QString InScope(const QueryScope& scope) {
  return scope.IsWholeCollection()
             ? QStringLiteral("SELECT EntryID FROM Document WHERE (VisibleInFolderID>1)")
             : QStringLiteral("SELECT EntryID FROM Document WHERE VisibleInFolderID IN (") +
                   scope.FolderIdList() + u')';
}

// An apostrophe in the text picks the double quote as delimiter. Doubling
// only the chosen delimiter leaves the query of every text that lacks one
// of the two quote characters exactly as it has always been.
QString LikeLiteral(const QString& text, const QString& pattern) {
  const QChar delimiter = text.contains(u'\'') ? QChar(u'"') : QChar(u'\'');
  return QuotedLiteral(pattern, delimiter);
}

}  // namespace

QString LikePatternFor(const QString& searchText) { return ContainsPattern(searchText, false); }

QString EscapedLikePatternFor(const QString& literal) { return ContainsPattern(literal, true); }

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
  const QString query = InScope(scope) + QStringLiteral(" AND ");
  const QString column = ColumnName(field);
  if (searchText.isEmpty()) {
    return query + u'(' + column + QStringLiteral(" IS NULL OR ") + column +
           QStringLiteral(" = '')");
  }
  return query + column + QStringLiteral(" LIKE ") +
         LikeLiteral(searchText, LikePatternFor(searchText));
}

QString CandidateCondition(SearchField field, const QString& searchText,
                           const SearchOptions& options) {
  const QString literal = RequiredLiteral(searchText, options);
  if (literal.isEmpty()) {
    return QString();
  }
  return QStringLiteral(" AND ") + ColumnName(field) + QStringLiteral(" LIKE ") +
         LikeLiteral(literal, EscapedLikePatternFor(literal)) + QStringLiteral(" ESCAPE '\\'");
}

QString BuildQueryText(const QueryScope& scope, SearchField field, const QString& searchText,
                       const SearchOptions& options) {
  if (!options.AnyOn() || searchText.isEmpty()) {
    return BuildQueryText(scope, field, searchText);
  }
  return InScope(scope) + CandidateCondition(field, searchText, options);
}

}  // namespace qm
