// The built queries run against a real stand-in collection.
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <map>

#include "engine/query/query_text.h"
#include "engine/query_check.h"
#include "host/lib/host_errors.h"
#include "host/stand_in_host.h"

namespace {

namespace admin = qm::hostadmin;
using qm::QueryScope;
using qm::SearchField;
using qm::testing::ExpectedMatches;
using qm::testing::SelectedIds;

class QueryOnHost : public qm::testing::StandInHostTest {
 protected:
  void SetUp() override {
    StandInHostTest::SetUp();
    id_ = defaultId();
    a_ = admin::AddFolder(id_, 1, QStringLiteral("A"), 0);
    b_ = admin::AddFolder(id_, a_, QStringLiteral("B"), 0);
    c_ = admin::AddFolder(id_, 1, QStringLiteral("C"), 0);
    const QString none;  // no value
    const std::vector<admin::NewDocument> documents = {
        {a_, QStringLiteral("it's here"), QStringLiteral("one"), QStringLiteral("http://a/")},
        {a_, QStringLiteral("say \"hi\""), none, QStringLiteral("")},
        {b_, QStringLiteral("it's \"both\""), QStringLiteral(""), none},
        {c_, QStringLiteral("100% sure"), QStringLiteral("x"), QStringLiteral("http://c/")},
        {c_, QStringLiteral("100 percent"), none, none},
        {400, QStringLiteral("a_b"), QStringLiteral("it's"), QStringLiteral("http://it's/")},
        {400, QStringLiteral("axb"), QStringLiteral(""), QStringLiteral("")},
        {b_, QString::fromUtf8("ÄRGER im Büro"), none, none},
        {500, QString::fromUtf8("ärger"), none, none},
        {a_, none, QStringLiteral("no title"), none},
        {c_, QStringLiteral(""), QStringLiteral("empty title"), none},
        {1, QStringLiteral("root abc"), none, none},
        {200, QString::fromUtf8("ΣΟΦΟΣ"), none, none},
        {600, QString::fromUtf8("Straße"), none, none},
        {a_, QStringLiteral("'; DROP TABLE Document; --"), none, none},
        {c_, QStringLiteral("back\\slash"), none, none},
    };
    admin::AddDocuments(id_, documents);
    for (const auto& d : admin::ListDocuments(id_)) {
      idByTitle_[d.title.isNull() ? QStringLiteral("<null>") : d.title] = d.entryId;
    }
    connection_ = app()->DefaultCollection()->Connection();
  }

  std::vector<std::int64_t> Ids(std::initializer_list<const char*> titles) {
    std::vector<std::int64_t> ids;
    for (const char* t : titles) {
      ids.push_back(idByTitle_.at(QString::fromUtf8(t)));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
  }

  std::vector<std::int64_t> Run(const QueryScope& scope, SearchField field, const QString& text) {
    return SelectedIds(*connection_, qm::BuildQueryText(scope, field, text));
  }

  std::int32_t id_ = 0, a_ = 0, b_ = 0, c_ = 0;
  std::map<QString, std::int64_t> idByTitle_;
  std::shared_ptr<qm::HostConnection> connection_;
};

TEST_F(QueryOnHost, SelectsTheDocumentsThatHoldTheText) {
  const QueryScope whole = QueryScope::WholeCollection();
  const QueryScope aTree = QueryScope::Folders(QStringLiteral("%1,%2").arg(a_).arg(b_));
  struct Case {
    const char* name;
    QueryScope scope;
    SearchField field;
    QString text;
    std::vector<std::int64_t> expected;
  };
  const Case cases[] = {
      {"apostrophe", whole, SearchField::Title, QStringLiteral("it's"),
       Ids({"it's here", "it's \"both\""})},
      {"double quote", whole, SearchField::Title, QStringLiteral("\"hi\""), Ids({"say \"hi\""})},
      {"both quotes", whole, SearchField::Title, QStringLiteral("'s \"b"), Ids({"it's \"both\""})},
      {"percent is a wildcard", whole, SearchField::Title, QStringLiteral("100%"),
       Ids({"100% sure", "100 percent"})},
      {"underscore is a wildcard", whole, SearchField::Title, QStringLiteral("a_b"),
       Ids({"a_b", "axb"})},
      {"other case, non-ASCII", whole, SearchField::Title, QString::fromUtf8("ärger"),
       Ids({"ÄRGER im Büro", "ärger"})},
      {"Greek", whole, SearchField::Title, QString::fromUtf8("σοφος"), Ids({"ΣΟΦΟΣ"})},
      {"sharp s is one letter", whole, SearchField::Title, QStringLiteral("SS"), {}},
      {"backslash is a plain character", whole, SearchField::Title, QStringLiteral("k\\s"),
       Ids({"back\\slash"})},
      {"injection text is just text", whole, SearchField::Title,
       QStringLiteral("'; DROP TABLE Document; --"), Ids({"'; DROP TABLE Document; --"})},
      {"root folder is outside the whole collection",
       whole,
       SearchField::Title,
       QStringLiteral("abc"),
       {}},
      {"folder list", aTree, SearchField::Title, QStringLiteral("it"),
       Ids({"it's here", "it's \"both\""})},
      {"empty title, whole collection", whole, SearchField::Title, QString(), Ids({"<null>", ""})},
      {"empty comment in folders", aTree, SearchField::Comment, QString(),
       Ids({"say \"hi\"", "it's \"both\"", "ÄRGER im Büro", "'; DROP TABLE Document; --"})},
      {"apostrophe in addresses", whole, SearchField::Url, QStringLiteral("it's"), Ids({"a_b"})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.scope, c.field, c.text), c.expected) << c.name;
  }
}

// With search options the query only narrows: it selects every document
// that holds the literal all matches need, wildcards and the escape
// character taken as they are, and the whole scope when there is none.
TEST_F(QueryOnHost, OptionsNarrowByTheRequiredLiteral) {
  const QueryScope whole = QueryScope::WholeCollection();
  const QueryScope cTree = QueryScope::Folders(QString::number(c_));
  const qm::SearchOptions matchCase{true, false, false, false};
  const qm::SearchOptions pattern{false, false, true, false};
  struct Case {
    const char* name;
    QueryScope scope;
    QString text;
    qm::SearchOptions options;
    std::vector<std::int64_t> expected;
  };
  const Case cases[] = {
      {"percent is plain", whole, QStringLiteral("0% s"), matchCase, Ids({"100% sure"})},
      {"underscore is plain", whole, QStringLiteral("a_b"), matchCase, Ids({"a_b"})},
      {"backslash is plain", whole, QStringLiteral("k\\s"), matchCase, Ids({"back\\slash"})},
      {"without regard to case", whole, QString::fromUtf8("ärger"), matchCase,
       Ids({"ÄRGER im Büro", "ärger"})},
      {"apostrophe", whole, QStringLiteral("it's"), matchCase, Ids({"it's here", "it's \"both\""})},
      {"the pattern's literal", whole, QStringLiteral("it's (here|\"both\")"), pattern,
       Ids({"it's here", "it's \"both\""})},
      {"no literal: the whole scope, empty titles too", cTree, QStringLiteral("^$"), pattern,
       Ids({"100% sure", "100 percent", "", "back\\slash"})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SelectedIds(*connection_,
                          qm::BuildQueryText(c.scope, SearchField::Title, c.text, c.options)),
              c.expected)
        << c.name;
  }
  // A fill is a fill whatever the options say.
  EXPECT_EQ(qm::BuildQueryText(whole, SearchField::Title, QString(), pattern),
            qm::BuildQueryText(whole, SearchField::Title, QString()));
}

// The safety net the hostile texts below rely on: had a text broken out of
// its literal, the query would have been refused, not run.
TEST_F(QueryOnHost, ConnectionRefusesWhatIsNotOneReadingStatement) {
  for (const char* query :
       {"SELECT EntryID FROM Document; DELETE FROM Document", "DELETE FROM Document",
        "SELECT EntryID FROM Document; ATTACH DATABASE 'x' AS y"}) {
    try {
      connection_->OpenRecordset(QString::fromUtf8(query));
      ADD_FAILURE() << "ran: " << query;
    } catch (const qm::Error& e) {
      EXPECT_EQ(e.number(), qm::host::errc::kQueryRefused) << query;
    }
  }
}

// Hostile search texts of every kind: each query is accepted by the guarded
// connection as one read-only statement, selects exactly what the LIKE
// pattern selects, and the collection is the same afterwards.
TEST_F(QueryOnHost, HostileSearchTextsSelectExactlyTheirMatches) {
  const std::vector<qm::testing::CorpusDocument> corpus = qm::testing::LoadCorpus(id_);
  const std::vector<admin::DocumentInfo> before = admin::ListDocuments(id_);
  const QString pieces[] = {QStringLiteral("'"),
                            QStringLiteral("\""),
                            QStringLiteral("''"),
                            QStringLiteral("\"\""),
                            QStringLiteral("\\"),
                            QStringLiteral(";"),
                            QStringLiteral("--"),
                            QStringLiteral("/*"),
                            QStringLiteral("*/"),
                            QString(QChar(u'\0')),
                            QStringLiteral("\x01\t\n\r\x1b"),
                            QStringLiteral("DROP TABLE Document"),
                            QStringLiteral(" UNION SELECT 1"),
                            QStringLiteral("); DELETE FROM Document; --"),
                            QStringLiteral("' OR '1'='1"),
                            QStringLiteral("\" OR \"1\"=\"1"),
                            QStringLiteral("ATTACH DATABASE 'x' AS y"),
                            QStringLiteral("PRAGMA writable_schema=1"),
                            QStringLiteral("%"),
                            QStringLiteral("_"),
                            QStringLiteral("it"),
                            QStringLiteral("a"),
                            QStringLiteral("100"),
                            QStringLiteral(" "),
                            QString::fromUtf8("ä"),
                            QString::fromUtf8("Ä"),
                            QString::fromUtf8("ß"),
                            QString::fromUtf8("Σ"),
                            QString::fromUtf8("ς"),
                            QString::fromUtf8("\xF0\x9F\x98\x80"),
                            QStringLiteral("http"),
                            QStringLiteral("/"),
                            QStringLiteral("e")};
  const QString folderChoices[] = {QString::number(a_),   QString::number(b_),
                                   QString::number(c_),   QStringLiteral("1"),
                                   QStringLiteral("400"), QStringLiteral("500"),
                                   QStringLiteral("600"), QStringLiteral("999999")};
  QRandomGenerator random(4711);
  int nonEmpty = 0;
  constexpr int kTexts = 100000;
  for (int i = 0; i < kTexts; ++i) {
    QString text;
    const int count = random.bounded(100) == 0 ? 2000 : random.bounded(1, 7);
    for (int k = 0; k < count; ++k) {
      switch (random.bounded(6)) {
        case 0:
          text.append(QChar(static_cast<char16_t>(random.bounded(0x10000))));  // any unit
          break;
        case 1: {
          const auto& d = corpus[random.bounded(static_cast<quint32>(corpus.size()))];
          const QString& v = d.fields[random.bounded(3)];
          text.append(v.mid(random.bounded(v.size() + 1), random.bounded(1, 4)));
          break;
        }
        default:
          text.append(pieces[random.bounded(static_cast<quint32>(std::size(pieces)))]);
      }
    }
    QueryScope scope = QueryScope::WholeCollection();
    if (random.bounded(2) == 0) {
      QStringList ids;
      for (int k = random.bounded(1, 4); k > 0; --k) {
        ids.append(folderChoices[random.bounded(static_cast<quint32>(std::size(folderChoices)))]);
      }
      scope = QueryScope::Folders(ids.join(u','));
    }
    const auto field = static_cast<SearchField>(random.bounded(3));
    const QString query = qm::BuildQueryText(scope, field, text);
    std::vector<std::int64_t> selected;
    try {
      selected = SelectedIds(*connection_, query);
    } catch (const qm::Error& e) {
      FAIL() << "case " << i << " refused: " << e.what() << "\n" << query.toStdString();
    }
    ASSERT_EQ(selected, ExpectedMatches(corpus, scope, field, text)) << "case " << i << "\n"
                                                                     << query.toStdString();
    nonEmpty += selected.empty() ? 0 : 1;
  }
  EXPECT_GT(nonEmpty, kTexts / 20);  // enough texts that do select something

  const std::vector<admin::DocumentInfo> after = admin::ListDocuments(id_);
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].title, before[i].title);
    EXPECT_EQ(after[i].folderId, before[i].folderId);
  }
}

TEST_F(QueryOnHost, VeryLongSearchTextIsStillOneQuery) {
  const QString text = QString(12000, u'\'') + QString(12000, u'"');
  EXPECT_TRUE(Run(QueryScope::WholeCollection(), SearchField::Title, text).empty());
}

}  // namespace
