// The journal on Windows: its folder is the user's local application data
// folder as the system names it, whatever XDG variable a Linux habit left
// set; and a folder with umlauts reaches SQLite as the UTF-8 it expects.
#include <shlobj.h>
#include <windows.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "engine/journal/run_journal.h"

namespace {

TEST(Win32JournalFolder, IsTheLocalApplicationDataFolderOnly) {
  qm::testing::ScopedEnv data("XDG_DATA_HOME", "C:\\elsewhere");
  PWSTR path = nullptr;
  ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path), S_OK);
  const QString local = QDir::fromNativeSeparators(QString::fromWCharArray(path));
  CoTaskMemFree(path);
  EXPECT_EQ(qm::DefaultJournalFolder(), local + QStringLiteral("/QMReplace"));
}

TEST(Win32JournalFolder, AFolderWithUmlautsIsTheOneUsed) {
  QTemporaryDir dir;
  const QString folder = dir.path() + QStringLiteral("/B\u00fcro \u00c4rger/QMReplace");
  {
    auto journal = qm::OpenRunJournal(folder);
    qm::RunRecord run;
    run.started = QDateTime::currentDateTimeUtc();
    run.searchText = QStringLiteral("\u00e4");
    journal->RecordEntries(journal->BeginRun(run),
                           {{QVariant(qlonglong{1}), {}, QStringLiteral("x")}});
    EXPECT_EQ(journal->LastUndoableRun()->searchText, QStringLiteral("\u00e4"));
  }
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/journal.sqlite")));
  // Nothing under a mangled name beside it.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("B\u00fcro \u00c4rger")});
  EXPECT_EQ(QDir(folder).entryList({QStringLiteral("journal*")}, QDir::Files),
            QStringList{QStringLiteral("journal.sqlite")});
}

}  // namespace
