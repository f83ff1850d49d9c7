#include "engine/query/query_text.h"

#include <gtest/gtest.h>

#include "common/test_environment.h"

namespace {

using qm::QueryScope;
using qm::SearchField;

const QString kWhole =
    QStringLiteral("SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND ");

QString InFolders(const char* list) {
  return QStringLiteral("SELECT EntryID FROM Document WHERE VisibleInFolderID IN (") +
         QString::fromUtf8(list) + QStringLiteral(") AND ");
}

TEST(BuildQueryText, WritesTheQueryForEveryKindOfSearchText) {
  struct Case {
    const char* name;
    QueryScope scope;
    SearchField field;
    QString search;
    QString expected;
  };
  const QueryScope whole = QueryScope::WholeCollection();
  const Case cases[] = {
      {"plain text", whole, SearchField::Title, QStringLiteral("abc"),
       kWhole + QStringLiteral("Title LIKE '%abc%'")},
      {"folder list", QueryScope::Folders(QStringLiteral("1234,1240")), SearchField::Comment,
       QStringLiteral("ab"), InFolders("1234,1240") + QStringLiteral("Comment LIKE '%ab%'")},
      {"empty text", whole, SearchField::Url, QString(),
       kWhole + QStringLiteral("(Url IS NULL OR Url = '')")},
      {"empty text in folders", QueryScope::Folders(QStringLiteral("5000")), SearchField::Comment,
       QString(), InFolders("5000") + QStringLiteral("(Comment IS NULL OR Comment = '')")},
      {"apostrophe", QueryScope::Folders(QStringLiteral("1234")), SearchField::Title,
       QStringLiteral("it's"), InFolders("1234") + QStringLiteral("Title LIKE \"%it's%\"")},
      {"double quote alone keeps apostrophes", whole, SearchField::Title,
       QStringLiteral("say \"hi\""), kWhole + QStringLiteral("Title LIKE '%say \"hi\"%'")},
      {"wildcards stay wildcards", whole, SearchField::Title, QStringLiteral("100%_a"),
       kWhole + QStringLiteral("Title LIKE '%100%_a%'")},
      {"backslash is not special", whole, SearchField::Url, QStringLiteral("a\\'b"),
       kWhole + QStringLiteral("Url LIKE \"%a\\'b%\"")},
      {"blanks and case kept", whole, SearchField::Title, QStringLiteral(" - Heise "),
       kWhole + QStringLiteral("Title LIKE '% - Heise %'")},
      {"non-ASCII", whole, SearchField::Title, QStringLiteral("Grüße"),
       kWhole + QString::fromUtf8("Title LIKE '%Grüße%'")},
      // Mended: with both quote characters the chosen delimiter is doubled.
      {"both quotes", whole, SearchField::Title, QStringLiteral("it's \"x\""),
       kWhole + QStringLiteral("Title LIKE \"%it's \"\"x\"\"%\"")},
      {"both quotes trying to break out", whole, SearchField::Comment,
       QStringLiteral("'\" OR 1=1; DROP TABLE Document; --"),
       kWhole + QStringLiteral("Comment LIKE \"%'\"\" OR 1=1; DROP TABLE Document; --%\"")},
      {"NUL becomes a one-character wildcard", whole, SearchField::Title,
       QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b"),
       kWhole + QStringLiteral("Title LIKE '%a_b%'")},
      {"half a surrogate pair becomes a wildcard", whole, SearchField::Title,
       QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y"),
       kWhole + QStringLiteral("Title LIKE '%x_y%'")},
      {"whole surrogate pair is kept", whole, SearchField::Title,
       QString::fromUtf8("\xF0\x9F\x98\x80"),
       kWhole + QString::fromUtf8("Title LIKE '%\xF0\x9F\x98\x80%'")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qm::BuildQueryText(c.scope, c.field, c.search), c.expected) << c.name;
  }
}

TEST(BuildQueryText, FolderScopeAcceptsOnlyFolderIdLists) {
  for (const char* good : {"1", "5000", "5000,5001,5003,300", "2147483647"}) {
    EXPECT_EQ(QueryScope::Folders(QString::fromUtf8(good)).FolderIdList(), QString::fromUtf8(good));
  }
  for (const char* bad : {"", ",", "1,", ",1", "1,,2", "1, 2", "1) OR (1=1", "-5", "1;2", "０"}) {
    EXPECT_THROW(QueryScope::Folders(QString::fromUtf8(bad)), qm::Error) << bad;
  }
  EXPECT_QM_ERROR(QueryScope::Folders(QStringLiteral("1 2")), qm::kInvalidScopeError, "QueryScope",
                  "'1 2' is not a list of folder IDs.");
}

// The literal never ends before its closing delimiter, whatever the text: a
// simple tokenizer finds exactly one literal, at the end, and its content
// undoubled is the pattern.
TEST(BuildQueryText, PatternIsTheOnlyLiteralForEveryQuoteMix) {
  const QString pieces[] = {QStringLiteral("'"),    QStringLiteral("\""), QStringLiteral("''"),
                            QStringLiteral("\"\""), QStringLiteral("a"),  QStringLiteral("%"),
                            QStringLiteral("\\"),   QStringLiteral(";")};
  for (const QString& a : pieces) {
    for (const QString& b : pieces) {
      for (const QString& c : pieces) {
        const QString search = a + b + c;
        const QString query =
            qm::BuildQueryText(QueryScope::WholeCollection(), SearchField::Title, search);
        const QString head = kWhole + QStringLiteral("Title LIKE ");
        ASSERT_TRUE(query.startsWith(head)) << search.toStdString();
        const QChar delimiter = query.at(head.size());
        ASSERT_TRUE(delimiter == u'\'' || delimiter == u'"');
        QString content;
        qsizetype i = head.size() + 1;
        for (; i < query.size(); ++i) {
          if (query.at(i) == delimiter) {
            if (i + 1 < query.size() && query.at(i + 1) == delimiter) {
              content.append(delimiter);
              ++i;
              continue;
            }
            break;
          }
          content.append(query.at(i));
        }
        EXPECT_EQ(i, query.size() - 1) << "literal ends early for " << search.toStdString();
        EXPECT_EQ(content, qm::LikePatternFor(search)) << search.toStdString();
      }
    }
  }
}

}  // namespace
