// The search options through the commands over a real stand-in collection:
// Verify Matches, the review and the run find the same documents, a search
// that cannot run is refused before anything runs, and a pattern that runs
// into its match limit leaves its document, counted apart.
#include <gtest/gtest.h>

#include "engine/engine_on_host.h"
#include "engine/query/candidate_pages.h"
#include "engine/review/review_list.h"
#include "engine/review/review_run.h"
#include "engine/run/exact_matches.h"
#include "engine/run/verify_matches.h"

namespace {

using qm::ReviewSection;
using qm::SearchOptions;

// "c" match case, "w" whole words, "p" pattern, "k" preserve case.
SearchOptions Options(const char* letters) {
  const QString on = QString::fromLatin1(letters);
  return SearchOptions{on.contains(u'c'), on.contains(u'w'), on.contains(u'p'), on.contains(u'k')};
}

// Looks at the whole list, keeps what it would change, and closes it.
class ReviewThatLooks : public qm::ReviewPort {
 public:
  bool Review(qm::ReviewList& list) override {
    while (!list.Complete()) {
      list.LookAtMore(QDeadlineTimer(QDeadlineTimer::Forever));
    }
    afters.clear();
    for (std::int64_t row = 0; row < list.Rows(ReviewSection::Changes); ++row) {
      afters.append(list.Row(ReviewSection::Changes, row).after);
    }
    unchanged = list.Rows(ReviewSection::Unchanged);
    return false;
  }
  QStringList afters;
  std::int64_t unchanged = -1;
};

class OptionsRunTest : public qm::testing::EngineOnHost {
 protected:
  // A fresh collection of these titles in one folder, for the commands.
  void Collection(const QStringList& titles) {
    id_ = qm::hostadmin::CreateCollection(QStringLiteral("Options %1").arg(++populated_), false);
    std::vector<qm::hostadmin::NewDocument> documents;
    for (const QString& title : titles) {
      documents.push_back({400, title, {}, {}});
    }
    qm::hostadmin::AddDocuments(id_, documents);
    inner_ = app()->Collections()->Item(QString::number(id_));
    collection_ = std::make_shared<qm::testing::FailingCollection>(inner_);
  }

  void Search(const QString& search, const QString& replacement, const SearchOptions& options) {
    port_ = qm::testing::FakePort();
    port_.searchText = search;
    port_.replacementText = replacement;
    port_.options = options;
  }

  void Verify() { qm::VerifyMatches(port_, port_.Criteria(Folder(1))); }
  void Start() { qm::testing::Replace(port_, Folder(1), state_); }
};

const QString kNull;

const QStringList kTitles = {
    QStringLiteral("Election 2024 | Example News"),
    QStringLiteral("Best beaches - Example Travel Guide"),
    QStringLiteral("Drive to Dr Jones"),
    QStringLiteral("Address book"),
    QStringLiteral("DR HOUSE"),
    QStringLiteral("Colour and COLOUR"),
    QStringLiteral("Red colours"),
    QStringLiteral("In 1999 and 20245"),
    kNull,
    QStringLiteral(""),
    QStringLiteral("100% pure_gold"),
    QStringLiteral("back\\slash"),
};

// Every option alone and mixed: the count Verify Matches gives is the
// number of rows the review would change (each as the run then writes it)
// and the number of documents the run changes, and no other document
// changes.
TEST_F(OptionsRunTest, CountReviewAndRunAgreeForEveryOption) {
  struct Case {
    const char* name;
    const char* search;
    const char* replacement;
    const char* options;
    // Index in kTitles and the title after the run, for every change.
    std::vector<std::pair<int, const char*>> changes;
  };
  const Case cases[] = {
      {"match case", "Dr", "Doctor", "c", {{2, "Doctorive to Doctor Jones"}}},
      {"whole words", "Dr", "Doctor", "w", {{2, "Drive to Doctor Jones"}, {4, "Doctor HOUSE"}}},
      {"site names stripped",
       " (\\||-) Example (News|Travel Guide)$",
       "",
       "p",
       {{0, "Election 2024"}, {1, "Best beaches"}}},
      {"years, no literal to narrow by",
       "\\b(19|20)\\d\\d\\b",
       "YEAR",
       "p",
       {{0, "Election YEAR | Example News"}, {7, "In YEAR and 20245"}}},
      {"an empty field matches an empty pattern",
       "^$",
       "(none)",
       "p",
       {{8, "(none)"}, {9, "(none)"}}},
      {"preserve case", "colour", "color", "k", {{5, "Color and COLOR"}, {6, "Red colors"}}},
      {"wildcards of LIKE are plain text", "% pure_", "!", "c", {{10, "100!gold"}}},
      {"the escape character is plain text", "k\\s", "K/S", "c", {{11, "bacK/Slash"}}},
      {"whole words with preserve case",
       "dr",
       "doctor",
       "wk",
       {{2, "Drive to Doctor Jones"}, {4, "DOCTOR HOUSE"}}},
      {"pattern with match case",
       "[Cc]olour",
       "color",
       "pc",
       {{5, "color and COLOUR"}, {6, "Red colors"}}},
      {"all four", "[Cc]olou?r", "shade", "cwpk", {{5, "Shade and COLOUR"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Collection(kTitles);
    QStringList expected = Titles();
    QStringList afters;
    for (const auto& [index, after] : c.changes) {
      expected[index] = QString::fromUtf8(after);
      afters.append(expected[index]);
    }
    Search(QString::fromUtf8(c.search), QString::fromUtf8(c.replacement), Options(c.options));
    const QStringList before = Titles();
    Verify();
    EXPECT_EQ(
        port_.notes,
        QStringList{QStringLiteral("%1 documents match selected critera.").arg(c.changes.size())});

    ReviewThatLooks review;
    qm::ReviewRun(port_, port_, review, port_.Criteria(Folder(1)));
    EXPECT_EQ(review.afters, afters);
    EXPECT_EQ(review.unchanged, 0);
    EXPECT_EQ(Titles(), before);

    Start();
    EXPECT_EQ(state_.updatedCount, static_cast<std::int32_t>(c.changes.size()));
    EXPECT_EQ(Titles(), expected);
  }
}

TEST_F(OptionsRunTest, BadSearchesAreRefusedBeforeAnythingRuns) {
  struct Case {
    const char* name;
    QString search;
    const char* replacement;
    bool remove;
    qm::TextLanguage language;
    QString note;  // its beginning, for PCRE2's own words
    const char* focus;
  };
  const QString smiley = QString::fromUtf8("\xF0\x9F\x98\x80");
  const Case cases[] = {
      {"open group", QStringLiteral("Dr (Jones"), "x", false, qm::TextLanguage::English,
       QStringLiteral("The search text is not a valid pattern at character 10: "), "focus search"},
      {"a pair is one character", smiley + QStringLiteral("a(b"), "x", false,
       qm::TextLanguage::English,
       QStringLiteral("The search text is not a valid pattern at character 5: "), "focus search"},
      {"German, in a remove", QStringLiteral("a[b"), "", true, qm::TextLanguage::German,
       QString::fromUtf8("Der Suchbegriff ist bei Zeichen 4 kein gültiges Muster: "),
       "focus search"},
      {"a group the pattern lacks", QStringLiteral("(Dr) (J)"), "$1 $3", false,
       qm::TextLanguage::English,
       QStringLiteral("The replacement names the group $3 at character 4, which the pattern does "
                      "not have."),
       "focus replacement"},
      {"German group", QStringLiteral("(a)"), "${n}", false, qm::TextLanguage::German,
       QStringLiteral(
           "Die Ersetzung nennt die Gruppe ${n} bei Zeichen 1, die das Muster nicht hat."),
       "focus replacement"},
  };
  Collection(kTitles);
  const QStringList before = Titles();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool start : {false, true}) {
      Search(c.search, QString::fromUtf8(c.replacement), Options("p"));
      port_.removeMode = c.remove;
      port_.language = c.language;
      if (c.language == qm::TextLanguage::German) {
        port_.fieldText = QStringLiteral("Titel");
      }
      bool askedForFolder = false;
      const auto criteria = port_.Criteria([&] {
        askedForFolder = true;
        return Folder(1);
      });
      if (start) {
        qm::ReplaceRun(port_, port_, criteria);
      } else {
        qm::VerifyMatches(port_, criteria);
      }
      ASSERT_EQ(port_.notes.size(), 1);
      EXPECT_TRUE(port_.notes[0].startsWith(c.note)) << port_.notes[0].toStdString();
      EXPECT_EQ(port_.log, QStringList{QString::fromUtf8(c.focus)});
      EXPECT_FALSE(askedForFolder);
    }
  }
  EXPECT_EQ(Titles(), before);
}

// A pattern with catastrophic backtracking on one long title: that document
// is left and counted apart, by the count and by the run, which finishes
// and changes the others; also when the title turns hostile only between
// the count and its save.
TEST_F(OptionsRunTest, MatchLimitLeavesTheDocumentAndTheRunGoesOn) {
  const QString hostile = QString(40, u'a') + u'b';
  Collection({QStringLiteral("Alpha"), hostile, QStringLiteral("Omega"), QStringLiteral("Beta")});
  Search(QStringLiteral("(a+)+$"), QStringLiteral("X"), Options("p"));
  Verify();
  EXPECT_EQ(port_.notes,
            QStringList{QStringLiteral("3 documents match selected critera. 1 were left as they "
                                       "were because the pattern took too long on them.")});
  Start();
  EXPECT_EQ(Titles(), (QStringList{QStringLiteral("AlphX"), hostile, QStringLiteral("OmegX"),
                                   QStringLiteral("BetX")}));
  EXPECT_EQ(state_.limitCount, 1);
  EXPECT_EQ(port_.notes.last(), QStringLiteral("3 documents updated! 1 were left as they were "
                                               "because the pattern took too long on them."));
  EXPECT_TRUE(port_.log.contains(QStringLiteral("refresh")));

  Collection({QStringLiteral("Alpha"), QStringLiteral("Omega")});
  Search(QStringLiteral("(a+)+$"), QStringLiteral("X"), Options("p"));
  // The first document's pause: the host's user retitles the second.
  port_.onPause = [&](int pause) {
    if (pause == 1) {
      const auto documents = qm::hostadmin::ListDocuments(id_);
      const auto second =
          inner_->GetDocument(QVariant(static_cast<qlonglong>(documents[1].entryId)));
      second->SetTitle(hostile);
      second->Save();
    }
  };
  Start();
  EXPECT_EQ(Titles(), (QStringList{QStringLiteral("AlphX"), hostile}));
  EXPECT_EQ(state_.updatedCount, 1);
  EXPECT_EQ(state_.limitCount, 1);
  EXPECT_EQ(state_.leftCount, 0);
}

}  // namespace

// A count over many candidates lets window events run as it goes, and a
// Cancel then ends Verify Matches without a note and Start before its
// question, with nothing changed.
TEST_F(OptionsRunTest, LongCountsAnswerTheWindowAndStopOnCancel) {
  QStringList titles;
  for (int i = 0; i < 3 * static_cast<int>(qm::kCandidatePage); ++i) {
    titles.append(QStringLiteral("Report %1").arg(i));
  }
  Collection(titles);
  Search(QStringLiteral("Report \\d+$"), QStringLiteral("x"), Options("p"));
  Verify();
  EXPECT_GE(port_.eventPasses, 3);
  EXPECT_EQ(port_.notes,
            QStringList{QStringLiteral("%1 documents match selected critera.").arg(titles.size())});
  for (const bool start : {false, true}) {
    SCOPED_TRACE(start ? "Start" : "Verify Matches");
    Search(QStringLiteral("Report \\d+$"), QStringLiteral("x"), Options("p"));
    port_.onEvents = [&](int pass) {
      if (pass == 2) {
        port_.cancelRequested = true;
      }
    };
    if (start) {
      Start();
    } else {
      Verify();
    }
    EXPECT_TRUE(port_.notes.isEmpty());
    EXPECT_TRUE(port_.questions.isEmpty());
    EXPECT_FALSE(port_.log.contains(QStringLiteral("refresh")));
  }
  EXPECT_EQ(Titles(), titles);
}
