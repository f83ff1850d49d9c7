#include "engine/export/csv_export.h"

#include <QDir>
#include <QSaveFile>

#include "text/mod_resource.h"

namespace qm {
namespace {

// Written whenever the rows collected reach this size.
constexpr qsizetype kChunkBytes = 64 * 1024;

void AppendCell(QByteArray& out, const QString& cell) {
  static const QString kQuoted = QStringLiteral(",\"\r\n");
  bool quote = false;
  for (const QChar c : cell) {
    if (kQuoted.contains(c)) {
      quote = true;
      break;
    }
  }
  if (!quote) {
    out += cell.toUtf8();
    return;
  }
  out += '"';
  out += QString(cell).replace(QLatin1Char('"'), QStringLiteral("\"\"")).toUtf8();
  out += '"';
}

void AppendRow(QByteArray& out, const QStringList& cells) {
  for (qsizetype i = 0; i < cells.size(); ++i) {
    if (i > 0) {
      out += ',';
    }
    AppendCell(out, cells[i]);
  }
  out += "\r\n";
}

Error WriteFailure(const QString& path, const QString& reason, TextLanguage language) {
  return Error(kExportError, QString::fromLatin1(kExportSource),
               modResource::printf(Text(progress_text::kExportFailed, language),
                                   {QDir::toNativeSeparators(path), reason}));
}

}  // namespace

std::int64_t WriteCsvFile(const QString& path, const QStringList& columnTitles,
                          const CsvRowSource& rows, TextLanguage language) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    throw WriteFailure(path, file.errorString(), language);
  }
  QByteArray chunk("\xEF\xBB\xBF");
  chunk.reserve(kChunkBytes + 4096);
  const auto write = [&] {
    if (file.write(chunk) != chunk.size()) {
      throw WriteFailure(path, file.errorString(), language);
    }
    chunk.clear();
  };
  AppendRow(chunk, columnTitles);
  std::int64_t count = 0;
  QStringList cells;
  for (;;) {
    cells.clear();
    if (!rows(cells)) {
      break;
    }
    AppendRow(chunk, cells);
    ++count;
    if (chunk.size() >= kChunkBytes) {
      write();
    }
  }
  write();
  if (!file.commit()) {
    throw WriteFailure(path, file.errorString(), language);
  }
  return count;
}

QStringList ChangeColumnTitles(TextLanguage language) {
  QStringList titles;
  for (const int id :
       {progress_text::kColumnId, progress_text::kColumnTitle, progress_text::kColumnField,
        progress_text::kColumnBefore, progress_text::kColumnAfter, progress_text::kColumnState}) {
    titles << Text(id, language);
  }
  return titles;
}

QStringList ChangeCells(const ChangeRow& row) {
  return {row.id, row.title, row.field, row.before, row.after, row.state};
}

}  // namespace qm
