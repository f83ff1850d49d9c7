// The review of a run over a real stand-in collection: what it lists, how it
// sorts documents apart, what the filter lets through, and what Apply writes.
#include "engine/review/review_run.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/engine_on_host.h"
#include "engine/review/review_filter.h"
#include "engine/review/review_list.h"

namespace {

using qm::ReviewList;
using qm::ReviewSection;

QString Shown(const QString& value) { return value.isNull() ? QStringLiteral("<null>") : value; }

void LookAtEverything(ReviewList& list) {
  while (!list.Complete()) {
    list.LookAtMore(QDeadlineTimer(10));
  }
}

// "title|before|after|start+length>start+length ..." for a row that changes,
// "title|before" for one left as it is.
QStringList Describe(ReviewList& list, ReviewSection section) {
  QStringList rows;
  for (std::int64_t i = 0; i < list.Rows(section); ++i) {
    const qm::ReviewRow row = list.Row(section, i);
    QString text = Shown(row.title) + "|" + Shown(row.before);
    if (section == ReviewSection::Changes) {
      QStringList spans;
      for (const qm::RewriteSpan& s : row.spans) {
        spans << QStringLiteral("%1+%2>%3+%4")
                     .arg(s.before)
                     .arg(s.beforeLength)
                     .arg(s.after)
                     .arg(s.afterLength);
      }
      text += "|" + row.after + "|" + spans.join(' ');
    }
    rows << text;
  }
  return rows;
}

class ScriptedReview : public qm::ReviewPort {
 public:
  // What the user does with the list; true applies. By default everything is
  // looked at and applied as it is.
  std::function<bool(ReviewList&)> user = [](ReviewList& list) {
    LookAtEverything(list);
    return true;
  };
  bool Review(ReviewList& list) override {
    ++reviews;
    return user(list);
  }
  int reviews = 0;
};

class ReviewRunTest : public qm::testing::EngineOnHost {
 protected:
  void Review(const QString& search, const QString& replacement, bool remove = false,
              const QString& field = QStringLiteral("Title")) {
    port_.searchText = search;
    port_.replacementText = replacement;
    port_.removeMode = remove;
    port_.fieldText = field;
    const auto startFolder = [this] { return Folder(1); };
    state_ = qm::ReviewRun(port_, port_, review_, port_.Criteria(startFolder));
  }

  ScriptedReview review_;
};

TEST_F(ReviewRunTest, ListsTheRunsDocumentsInItsOrderApartByWhatTheRewriteDoes) {
  struct Case {
    const char* name;
    QString search;
    QString replacement;
    bool remove;
    QString field;
    QStringList changes;
    QStringList unchanged;
  };
  const Case cases[] = {
      {"replace",
       "abc",
       "Xyz1",
       false,
       "Title",
       {"ABC abc aBc|ABC abc aBc|Xyz1 Xyz1 Xyz1|0+3>0+4 4+3>5+4 8+3>10+4"},
       {}},
      {"remove",
       "- ",
       "unused",
       true,
       "Title",
       {"- Report - |- Report - |Report |0+2>0+0 9+2>7+0",
        "Heise online - News|Heise online - News|Heise online News|13+2>13+0"},
       {}},
      {"fill", "", "none", false, "Title", {"||none|0+0>0+4", "<null>|<null>|none|0+0>0+4"}, {}},
      {"another field, the title beside it",
       "C",
       "K",
       false,
       "Comment",
       {"ABC abc aBc|c1|K1|0+1>0+1", "|c4|K4|0+1>0+1"},
       {}},
      // The query's LIKE reads "%" and "_" as wildcards, the rewrite reads
      // them as they are.
      {"percent", "100%", "X", false, "Title", {}, {"100 percent|100 percent"}},
      {"underscore",
       "e_",
       "e-",
       false,
       "Title",
       {"snake_case e_mail|snake_case e_mail|snake-case e-mail|4+2>4+2 11+2>11+2"},
       {"- Report - |- Report - ", "nothing here|nothing here",
        "Heise online - News|Heise online - News", "100 percent|100 percent"}},
  };
  for (const auto& c : cases) {
    Populate();
    AddDocument(a_, QStringLiteral("snake_case e_mail"));
    const QStringList before = Titles();
    review_.user = [&c](ReviewList& list) {
      LookAtEverything(list);
      EXPECT_EQ(Describe(list, ReviewSection::Changes), c.changes) << c.name;
      EXPECT_EQ(Describe(list, ReviewSection::Unchanged), c.unchanged) << c.name;
      EXPECT_EQ(list.CheckedCount(), c.changes.size()) << c.name;
      return false;
    };
    Review(c.search, c.replacement, c.remove, c.field);
    EXPECT_EQ(review_.reviews, 1) << c.name;
    EXPECT_EQ(Titles(), before) << c.name;
    EXPECT_EQ(port_.notes.last(), QString()) << c.name;  // as after No
    port_.notes.clear();
    review_.reviews = 0;
  }
}

TEST_F(ReviewRunTest, ApplyRunsTheCheckedDocumentsAsStartDoes) {
  for (const char* title : {"abc one", "abc two", "abc three", "abc four"}) {
    AddDocument(a_, QString::fromLatin1(title));
  }
  review_.user = [](ReviewList& list) {
    LookAtEverything(list);
    list.SetChecked(0, 0, false);  // "ABC abc aBc", the first row
    list.SetChecked(1, 1, false);  // "abc one"
    list.SetChecked(3, 3, false);  // "abc three"
    list.SetChecked(3, 3, false);  // twice is still one
    EXPECT_EQ(list.CheckedCount(), 2);
    return true;
  };
  Review(QStringLiteral("abc"), QStringLiteral("X"));
  EXPECT_EQ(Titles(), (QStringList{"ABC abc aBc", "- Report - ", "nothing here", "", "<null>",
                                   "Heise online - News", "100 percent", "in the root abc",
                                   "abc one", "X two", "abc three", "X four"}));
  EXPECT_EQ(port_.notes.last(), QStringLiteral("2 documents updated!"));
  // The run's own steps: history, wait cursor and running state, refresh;
  // the review stands where the question stood.
  EXPECT_EQ(port_.log,
            (QStringList{"save history", "busy", "running", "stopped", "idle", "refresh"}));
  EXPECT_TRUE(port_.questions.isEmpty());
  // Of the checked documents, not of all the list holds.
  EXPECT_EQ(port_.progress, (QStringList{"0/2", "1/2", "2/2", "end"}));
}

// Apply writes what the review showed: a document edited since the list
// was made is left, whether it still holds the search text or not, unless
// its row was shown after the edit; one deleted since is left out.
TEST_F(ReviewRunTest, ApplyWritesOnlyWhatTheReviewShowed) {
  for (const char* title :
       {"abc one", "abc two", "abc three", "abc four", "abc five", "abc gone"}) {
    AddDocument(a_, QString::fromLatin1(title));
  }
  review_.user = [this](ReviewList& list) {
    // Deleted between the query and the list: left as it is, not a failure.
    qm::testing::ExecuteBehindTheHost(File(), "DELETE FROM Document WHERE Title = 'abc gone'");
    LookAtEverything(list);
    EXPECT_EQ(list.Rows(ReviewSection::Unchanged), 1);
    EXPECT_FALSE(list.Row(ReviewSection::Unchanged, 0).failure.isEmpty());
    for (std::int64_t row = 0; row < list.Rows(ReviewSection::Changes); ++row) {
      const QString title = list.ReadRows(ReviewSection::Changes, row, 1).front().title;
      const auto document = inner_->GetDocument(list.EntryId(ReviewSection::Changes, row));
      const auto edit = [&document](const char* to) {
        document->SetTitle(QString::fromLatin1(to));
        document->Save();
      };
      if (title == QStringLiteral("abc two")) {
        edit("edited away");
      } else if (title == QStringLiteral("abc three")) {
        edit("abc three, and ABC");
      } else if (title == QStringLiteral("abc four")) {
        edit("abc four, and ABC");
        EXPECT_EQ(list.Row(ReviewSection::Changes, row).after, QStringLiteral("X four, and X"));
      } else if (title == QStringLiteral("abc five")) {
        qm::testing::ExecuteBehindTheHost(File(), "DELETE FROM Document WHERE Title = 'abc five'");
      }
    }
    return true;
  };
  Review(QStringLiteral("abc"), QStringLiteral("X"));
  EXPECT_EQ(Titles().mid(8),
            (QStringList{"X one", "edited away", "abc three, and ABC", "X four, and X"}));
  EXPECT_EQ(port_.notes.last(),
            QStringLiteral("3 documents updated! 1 no longer existed and were left out. 2 left as "
                           "they were because they changed since the list was made."));
}

// The run reads the next batch while it saves the one before: documents a
// Cancel kept it from were read, but never left as they were.
TEST_F(ReviewRunTest, ACancelledApplyCountsNoDocumentItNeverCameTo) {
  for (const char* title : {"abc one", "abc two", "abc three", "abc four"}) {
    AddDocument(a_, QString::fromLatin1(title));
  }
  port_.onEvents = [this](int) {
    if (collection_->saves == 1) {
      port_.cancelRequested = true;
    }
  };
  Review(QStringLiteral("abc"), QStringLiteral("X"));
  // The Cancel comes while the second document is in hand.
  EXPECT_EQ(Titles().mid(7),
            (QStringList{"in the root abc", "X one", "abc two", "abc three", "abc four"}));
  EXPECT_EQ(port_.notes.last(), QStringLiteral("2 documents updated!"));
}

TEST_F(ReviewRunTest, TheFilterLetsThroughRowsWhoseTitleBeforeOrAfterHoldItsText) {
  for (const char* title : {"abc one", "abc two", "Abc three"}) {
    AddDocument(b_, QString::fromLatin1(title));
  }
  review_.user = [](ReviewList& list) {
    const auto shown = [&list](const QString& text) {
      qm::ReviewFilter filter(list, ReviewSection::Changes, text);
      // The filter keeps up with a list that is still being made: one
      // document, then one row, at a time.
      while (!filter.Complete()) {
        list.LookAtMore(QDeadlineTimer(0));
        filter.LookAtMore(QDeadlineTimer(0));
      }
      QStringList titles;
      for (std::int64_t row = 0; row < filter.Rows(); ++row) {
        titles << list.ReadRows(ReviewSection::Changes, filter.SectionRow(row), 1).front().title;
      }
      return titles;
    };
    EXPECT_EQ(shown(QStringLiteral("TWO")), QStringList{"abc two"});
    EXPECT_EQ(shown(QStringLiteral("xyz t")), (QStringList{"abc two", "Abc three"}));  // after
    EXPECT_EQ(shown(QStringLiteral("c a")), QStringList{"ABC abc aBc"});               // before
    EXPECT_EQ(shown(QString()), (QStringList{"ABC abc aBc", "abc one", "abc two", "Abc three"}));
    return false;
  };
  Review(QStringLiteral("abc"), QStringLiteral("Xyz"));
}

}  // namespace
