#include "startup/search_history.h"

#include <QFile>

#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "platform/environment.h"
#include "startup/host_discovery.h"

namespace qm {
namespace {

namespace reg = platform::reg;
using testing::ScopedConfigHome;

const QStringList kGermanDefaults = {
    "- nachrichten-beispiel.de",
    "- tagesbote-beispiel.de",
    "- morgenpost-muster.de",
    "- weltblick-beispiel.de",
    "abendzeitung-muster.de - ",
    "Druckversion - ",
    "FOCUS Online in Kooperation mit MSN",
    "heise online - ",
};

platform::RegistryValue StoredHistory(const QString& key = kGermanSettingsKey) {
  platform::RegistryValue stored;
  platform::SystemRegistry().QueryValue(reg::kCurrentUser, key, kHistoryValueName, &stored);
  return stored;
}

void StoreHistory(const QByteArray& data, const QString& key = kGermanSettingsKey) {
  auto& store = platform::SystemRegistry();
  ASSERT_EQ(store.CreateKey(reg::kCurrentUser, key), reg::kSuccess);
  ASSERT_EQ(store.SetValue(reg::kCurrentUser, key, kHistoryValueName, reg::kSz, data),
            reg::kSuccess);
}

TEST(SearchHistoryFormat, SplitDropsThePieceAfterTheLastSeparator) {
  const struct {
    const char* value;
    QStringList entries;
  } cases[] = {
      {"", {}},
      {"*#*", {""}},
      {"a*#*", {"a"}},
      {"a*#*b*#*", {"a", "b"}},
      {"first*#**#*third*#*", {"first", "", "third"}},
      {"a*#*b", {"a"}},  // no final separator: the last entry is lost
      {"only", {}},
      {"a*#*a*#*", {"a", "a"}},
      {"x*#*#*y*#*", {"x", "#*y"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitHistoryValue(QString::fromUtf8(c.value)), c.entries) << c.value;
  }
}

TEST(SearchHistoryFormat, BuildAppendsTheCurrentTextUnlessItIsThere) {
  const QStringList defaults = {"Druckversion - ", "heise online - "};
  const struct {
    const char* label;
    QStringList items;
    QString current;
    QString expected;
  } cases[] = {
      {"new text", defaults, "Neu - ", "Druckversion - *#*heise online - *#*Neu - *#*"},
      {"same text", defaults, "heise online - ", "Druckversion - *#*heise online - *#*"},
      {"other case", defaults, "HEISE ONLINE - ", "Druckversion - *#*heise online - *#*"},
      {"tail of an entry", defaults, "version - ", "Druckversion - *#*heise online - *#*"},
      {"head of an entry", defaults, "Druck", "Druckversion - *#*heise online - *#*Druck*#*"},
      {"empty text", defaults, "", "Druckversion - *#*heise online - *#*"},
      {"empty text, no items", {}, "", "*#*"},
      {"no items", {}, "Neu", "Neu*#*"},
      {"umlaut case", {"Ärger - "}, "ärger - ", "Ärger - *#*"},
      {"sharp s is not ss", {"Straße"}, "STRASSE", "Straße*#*STRASSE*#*"},
      {"separator inside", {}, "a*#*b", "a*#*b*#*"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildHistoryValue(c.items, c.current), c.expected) << c.label;
  }
}

TEST(SearchHistory, MissingValueGivesTheGermanListOnlyFor0407) {
  ScopedConfigHome home;
  EXPECT_EQ(SplitHistoryValue(GermanDefaultHistory()), kGermanDefaults);
  EXPECT_EQ(LoadSearchHistory(kGermanSettingsKey, 0x0407), kGermanDefaults);
  for (const std::uint16_t other : {0x0409, 0x0C07, 0x0807, 0x1007, 0x0007, 0x0000, 0x040C}) {
    EXPECT_TRUE(LoadSearchHistory(kGermanSettingsKey, other).isEmpty()) << other;
  }
  EXPECT_FALSE(QFile::exists(platform::RegistryFilePath()));  // loading writes nothing
}

TEST(SearchHistory, StoredValueDecidesWhateverTheLanguage) {
  const struct {
    const char* label;
    QByteArray stored;
    QStringList german;
    QStringList english;
  } cases[] = {
      {"one entry", QByteArray("a*#*\0", 5), {"a"}, {"a"}},
      {"stored empty text", QByteArray("\0", 1), {}, {}},
      {"size 0 counts as missing", QByteArray(), kGermanDefaults, {}},
      {"empty middle entry",
       QByteArray("first*#**#*third*#*\0", 20),
       {"first", "", "third"},
       {"first", "", "third"}},
      {"no final separator", QByteArray("one*#*two\0", 10), {"one"}, {"one"}},
      // In the system's ANSI code page: UTF-8 on Linux, 1252 here under Wine.
      {"umlauts",
       platform::ToAnsi(QStringLiteral("Grüße - *#*")) + QByteArray("\0", 1),
       {"Grüße - "},
       {"Grüße - "}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ScopedConfigHome home;
    StoreHistory(c.stored);
    EXPECT_EQ(LoadSearchHistory(kGermanSettingsKey, 0x0407), c.german);
    EXPECT_EQ(LoadSearchHistory(kGermanSettingsKey, 0x0409), c.english);
  }
}

TEST(SearchHistory, FirstGermanRunStoresTheDefaultsAndTheNewText) {
  ScopedConfigHome home;
  const QStringList items = LoadSearchHistory(kGermanSettingsKey, 0x0407);
  SaveSearchHistory(kGermanSettingsKey, items, "Neu - ");
  const platform::RegistryValue stored = StoredHistory();
  EXPECT_EQ(stored.type, reg::kSz);
  EXPECT_EQ(stored.data, (GermanDefaultHistory() + "Neu - *#*").toUtf8() + QByteArray(1, '\0'));
  EXPECT_EQ(LoadSearchHistory(kGermanSettingsKey, 0x0407), kGermanDefaults + QStringList{"Neu - "});

  // A text already there, in any case, adds nothing.
  SaveSearchHistory(kGermanSettingsKey, kGermanDefaults, "HEISE online - ");
  EXPECT_EQ(LoadSearchHistory(kGermanSettingsKey, 0x0409), kGermanDefaults);
}

TEST(SearchHistory, TwoRunsInOneSessionKeepOnlyTheSecondText) {
  ScopedConfigHome home;
  StoreHistory(QByteArray("a*#*b*#*\0", 9), kEnglishSettingsKey);
  const QStringList items = LoadSearchHistory(kEnglishSettingsKey, 0x0409);
  SaveSearchHistory(kEnglishSettingsKey, items, "first");
  SaveSearchHistory(kEnglishSettingsKey, items, "second");
  EXPECT_EQ(LoadSearchHistory(kEnglishSettingsKey, 0x0409), (QStringList{"a", "b", "second"}));
  EXPECT_EQ(StoredHistory(kGermanSettingsKey).data, QByteArray());  // other edition untouched
}

TEST(SearchHistory, EmptyTextIsStoredOnlyIntoAnEmptyList) {
  ScopedConfigHome home;
  SaveSearchHistory(kGermanSettingsKey, {}, "");
  EXPECT_EQ(StoredHistory().data, QByteArray("*#*\0", 4));
  EXPECT_EQ(LoadSearchHistory(kGermanSettingsKey, 0x0409), QStringList{""});
  SaveSearchHistory(kGermanSettingsKey, {"x"}, "");
  EXPECT_EQ(LoadSearchHistory(kGermanSettingsKey, 0x0409), QStringList{"x"});
}

// An entry with two "%" is stored as an expandable string; it must still come
// back as the user typed it, not with a variable expanded.
TEST(SearchHistory, EntriesWithPercentSignsComeBackVerbatim) {
  ScopedConfigHome home;
  testing::ScopedEnv variable("QM_TEST_SITE", "expanded");
  const QStringList items = {"%QM_TEST_SITE% - ", "50% - 20%"};
  SaveSearchHistory(kGermanSettingsKey, items, "");
  EXPECT_EQ(StoredHistory().type, reg::kExpandSz);
  EXPECT_EQ(LoadSearchHistory(kGermanSettingsKey, 0x0407), items);
}

TEST(SearchHistoryPosix, SaveRaisesWhenTheSettingsKeyCannotBeWritten) {
  ScopedConfigHome home;
  StoreHistory(QByteArray("keep*#*\0", 8));
  QFile file(platform::RegistryFilePath());
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  file.seek(0);
  file.write(QByteArray(100, 'X'));  // the file header is gone: not a store any more
  file.close();
  try {
    SaveSearchHistory(kGermanSettingsKey, {"keep"}, "new");
    ADD_FAILURE() << "the write must fail";
  } catch (const Error& error) {
    EXPECT_EQ(error.number(), 26001);
    EXPECT_TRUE(error.description().startsWith("Folgender Wert konnte nicht"));
    EXPECT_TRUE(error.description().contains(
        "HK_CURRENT_USER\\Software\\orbelon\\Quillmarke\\CurrentSettings\\"
        "SearchAndReplace_Strings\r\r"));
  }
  EXPECT_TRUE(LoadSearchHistory(kGermanSettingsKey, 0x0409).isEmpty());
}

}  // namespace
}  // namespace qm
