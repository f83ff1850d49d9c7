// How the message formatter turns one value into text.
//
// Plain text form (placeholder "[*]"): whole numbers in decimal, floating
// numbers with up to 15 significant digits and "." as decimal point, texts
// unchanged, booleans "True" or "False", dates as yyyy-MM-dd, times as
// HH:mm:ss, date and time as yyyy-MM-dd HH:mm:ss, byte arrays as UTF-8, an
// empty or null value as the empty text; anything else as Qt converts it to
// text.
//
// Patterns (any other placeholder text). Both kinds are independent of the
// user's settings, so a message reads the same wherever it is filled:
// - Numbers (whole or floating numbers, and texts that read as one): a
//   pattern with at least one digit placeholder "0" or "#". The first run of
//   "0", "#", "," and "." that holds a digit placeholder is the number; what
//   comes before and after it is copied as it is. Before the ".", each "0" is
//   a digit always shown and a "," asks for thousands groups; after it, "0"
//   is a decimal always shown and "#" one shown only when it is not a
//   trailing zero. A "%" in the copied text shows the value times 100.
//   Examples: 1234.5 with "#,##0.00" gives "1,234.50"; 0.256 with "0.0%"
//   gives "25.6%"; 7 with "000" gives "007"; -2.5 with "0" gives "-3"
//   (halves round away from zero).
// - Dates and times (QDate, QTime, QDateTime values): Qt's date and time
//   pattern language (d, dd, ddd, dddd, M, MM, MMM, MMMM, yy, yyyy, h, hh,
//   H, HH, m, mm, s, ss, z, zzz, AP, ap, '...' for literal text; names in
//   English), plus "w" for the day of the week (1 for Sunday to 7 for
//   Saturday) and "ww" for the week of the year, where weeks begin on Sunday
//   and week 1 is the week that holds 1 January.
// - Any other value, or a pattern that does not fit the value: the value's
//   plain text form.
#pragma once

#include <QString>
#include <QVariant>

namespace modResource {

QString PlainText(const QVariant& value);
QString FormatWithPattern(const QVariant& value, const QString& pattern);

}  // namespace modResource
