// The CSV export read back by another program's reader (Python's csv
// module), and a disk that refuses the write halfway (a file size limit).
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <vector>

#include "engine/csv_rows.h"
#include "engine/export/csv_export.h"
#include "engine/journal/run_rows.h"
#include "engine/journal_on_host.h"

namespace {

using qm::TextLanguage;
using qm::testing::RowsOf;

// Every row of the file as Python's csv module reads it, titles first.
std::vector<QStringList> ReadWithPython(const QString& path) {
  QProcess python;
  python.start(QStringLiteral("python3"),
               {QStringLiteral("-c"),
                QStringLiteral("import csv, json, sys\n"
                               "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                               "    print(json.dumps(list(csv.reader(f, strict=True))))\n"),
                path});
  EXPECT_TRUE(python.waitForFinished(60000));
  EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  std::vector<QStringList> rows;
  for (const QJsonValue row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
    QStringList cells;
    for (const QJsonValue cell : row.toArray()) {
      cells << cell.toString();
    }
    rows.push_back(cells);
  }
  return rows;
}

TEST(CsvExportPosix, PythonsCsvReaderReadsBackEveryValue) {
  const QStringList awkward = {
      QStringLiteral("a, b"),
      QStringLiteral("say \"hi\""),
      QStringLiteral("two\nlines"),
      QStringLiteral("windows\r\nlines"),
      QStringLiteral("cr\ronly"),
      QString::fromUtf8("Grüße aus Köln, 100 %"),
      QStringLiteral("\""),
      QStringLiteral(""),
      QStringLiteral(" blanks kept "),
      QString::fromUtf8("日本語 ☃ 😀"),
  };
  // Enough rows to be written in several chunks.
  std::vector<QStringList> rows;
  for (int i = 0; i < 3000; ++i) {
    rows.push_back({QString::number(i), awkward[i % awkward.size()],
                    awkward[(i + 3) % awkward.size()], QStringLiteral("checked")});
  }
  QTemporaryDir dir;
  const QString path = dir.filePath(QString::fromUtf8("Änderungen, neu.csv"));
  const QStringList titles{"ID", "Titel", "Feld", "Status"};
  ASSERT_EQ(qm::WriteCsvFile(path, titles, RowsOf(rows), TextLanguage::German), 3000);
  const std::vector<QStringList> read = ReadWithPython(path);
  ASSERT_EQ(read.size(), rows.size() + 1);
  EXPECT_EQ(read[0], titles);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(read[i + 1], rows[i]) << "row " << i;
  }
}

// The disk fills up halfway (as a file size limit makes it): the file
// already there is kept, and the failure names it.
TEST(CsvExportPosix, AWriteThatFailsHalfwayKeepsTheEarlierFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("kept.csv"));
  {
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("earlier export\r\n");
  }
  std::vector<QStringList> rows(20000, QStringList{QStringLiteral("row"), QString(40, 'x')});
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 100 * 1024;
  // Beyond the limit a write fails with EFBIG instead of ending the process.
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool failed = false;
  QString description;
  try {
    qm::WriteCsvFile(path, {QStringLiteral("A"), QStringLiteral("B")}, RowsOf(rows),
                     TextLanguage::English);
  } catch (const qm::Error& error) {
    failed = true;
    description = error.description();
  }
  setrlimit(RLIMIT_FSIZE, &before);
  signal(SIGXFSZ, oldHandler);
  ASSERT_TRUE(failed);
  EXPECT_TRUE(description.startsWith(QStringLiteral("The file ") + path +
                                     QStringLiteral(" could not be written: ")))
      << description.toStdString();
  QFile kept(path);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("earlier export\r\n"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.csv"});
}

// A run's documents as the history exports them: what Python reads back is
// what the journal and the documents hold.
using RunExportPosix = qm::testing::JournalOnHost;

TEST_F(RunExportPosix, ARunsDocumentsReadBackAsTheyWereWritten) {
  const QStringList titles = {QString::fromUtf8("Straße, \"alt\" – Grüße"),
                              QStringLiteral("two\nlines, alt"), QStringLiteral("alt;semi")};
  for (const QString& title : titles) {
    AddDocument(400, title);
  }
  Run(QStringLiteral("alt"), QString::fromUtf8("neu, \"ö\""));
  const qm::RunRecord run = journal_->Runs().front();
  ASSERT_EQ(run.documents, 3);
  qm::RunRows rows(*journal_, run, inner_, TextLanguage::German);
  const QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("Lauf.csv"));
  EXPECT_EQ(qm::ExportRunRows(rows, file, TextLanguage::German), 3);
  const std::vector<QStringList> read = ReadWithPython(file);
  ASSERT_EQ(read.size(), 4u);
  EXPECT_EQ(read[0], qm::ChangeColumnTitles(TextLanguage::German));
  for (qsizetype i = 0; i < titles.size(); ++i) {
    QString after = titles[i];
    after.replace(QStringLiteral("alt"), QString::fromUtf8("neu, \"ö\""));
    EXPECT_EQ(read[static_cast<std::size_t>(i) + 1].mid(1),
              (QStringList{after, QStringLiteral("Titel"), titles[i], after,
                           QString::fromUtf8("Enthält, was der Lauf schrieb")}))
        << i;
  }
}

}  // namespace
