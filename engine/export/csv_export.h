// Lists written as CSV files for other programs (a spreadsheet, a script):
// RFC 4180, in UTF-8 with a byte order mark, so that a spreadsheet reads
// umlauts right; a row ends with CR LF; a cell holding a comma, a quote, a CR
// or an LF is quoted, its quotes doubled. The first row holds the column
// titles, in the user's language.
//
// Rows come one at a time from the caller's row source and are written in
// chunks as they come: a million rows need no more memory than one chunk.
// The file is written beside the target under another name and takes the
// target's place only once every row is written, so that a failure, or a
// row source that throws, leaves whatever file was there as it was and no
// part of the export behind.
//
// A file that cannot be written fails with qm::Error kExportError, whose
// description names the file (with the system's separators) and the
// reason; whatever a row source throws propagates as it is.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

#include "platform/error.h"
#include "text/texts.h"

namespace qm {

inline constexpr std::int32_t kExportError = ErrorNumber(0x80040012u);
inline constexpr char kExportSource[] = "QMReplace.Export";

// Fills `cells` (empty when called) with the next row, one cell for each
// column title; false when there are no more rows.
using CsvRowSource = std::function<bool(QStringList& cells)>;

// Writes the file `path` and gives the number of rows written, titles not
// counted.
std::int64_t WriteCsvFile(const QString& path, const QStringList& columnTitles,
                          const CsvRowSource& rows, TextLanguage language);

// A list of changes to documents, as the review shows one and the history
// will: its columns, and one row of them. `state` says what became, or will
// become, of the change.
struct ChangeRow {
  QString id;
  QString title;
  QString field;
  QString before;
  QString after;
  QString state;
};

// ID, title, field, before, after, state.
QStringList ChangeColumnTitles(TextLanguage language);
QStringList ChangeCells(const ChangeRow& row);

}  // namespace qm
