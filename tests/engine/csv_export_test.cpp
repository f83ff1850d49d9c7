// The CSV export as a file on the disk: its exact bytes, and what a failure
// leaves. Read back by another CSV reader: csv_export_posix_test.cpp.
#include "engine/export/csv_export.h"
#include "engine/csv_rows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

using qm::TextLanguage;
using qm::testing::RowsOf;

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

TEST(CsvExport, QuotesOnlyWhatNeedsItAndEndsRowsWithCrLfAfterAByteOrderMark) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("out.csv"));
  const std::vector<QStringList> rows = {
      {QStringLiteral("1"), QStringLiteral("plain"), QString()},
      {QStringLiteral("2"), QStringLiteral("a, b"), QStringLiteral("say \"hi\"")},
      {QStringLiteral("3"), QStringLiteral("line\nbreak"), QStringLiteral("cr\ronly")},
      {QStringLiteral("4"), QString::fromUtf8("Grüße"), QStringLiteral(" blank ")},
  };
  EXPECT_EQ(qm::WriteCsvFile(path, {QStringLiteral("ID"), QStringLiteral("A"), QStringLiteral("B")},
                             RowsOf(rows), TextLanguage::English),
            4);
  EXPECT_EQ(Read(path), QByteArray("\xEF\xBB\xBF"
                                   "ID,A,B\r\n"
                                   "1,plain,\r\n"
                                   "2,\"a, b\",\"say \"\"hi\"\"\"\r\n"
                                   "3,\"line\nbreak\",\"cr\ronly\"\r\n"
                                   "4,Gr\xC3\xBC\xC3\x9F"
                                   "e, blank \r\n"));
  EXPECT_EQ(qm::ChangeColumnTitles(TextLanguage::German),
            (QStringList{"ID", "Titel", "Feld", "Vorher", "Nachher", "Status"}));
}

// Whatever stops the export, a file already there stays as it was and no
// part of the export is left beside it.
TEST(CsvExport, AFailureLeavesTheFileThereAsItWasAndNamesTheFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("kept.csv"));
  {
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("earlier export\r\n");
  }
  std::vector<QStringList> many(5000, QStringList{QStringLiteral("row"), QStringLiteral("x")});
  qm::CsvRowSource failing = [&, rows = RowsOf(many), n = 0](QStringList& cells) mutable {
    if (++n == 4000) {
      throw std::runtime_error("the host went away");
    }
    return rows(cells);
  };
  EXPECT_THROW(qm::WriteCsvFile(path, {QStringLiteral("A"), QStringLiteral("B")}, failing,
                                TextLanguage::English),
               std::runtime_error);
  EXPECT_EQ(Read(path), QByteArray("earlier export\r\n"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.csv"});

  // A folder that is not there: the message names the file as the system
  // writes it.
  const QString missing = dir.filePath(QStringLiteral("gone/list.csv"));
  try {
    qm::WriteCsvFile(missing, {QStringLiteral("A")}, RowsOf({}), TextLanguage::German);
    ADD_FAILURE() << "no failure";
  } catch (const qm::Error& error) {
    EXPECT_EQ(error.number(), qm::kExportError);
    EXPECT_EQ(error.source(), QStringLiteral("QMReplace.Export"));
    const QString named = QStringLiteral("Die Datei ") + QDir::toNativeSeparators(missing) +
                          QStringLiteral(" konnte nicht geschrieben werden: ");
    EXPECT_TRUE(error.description().startsWith(named)) << error.description().toStdString();
    EXPECT_GT(error.description().size(), named.size());
  }
}

}  // namespace
