// Preserve case: the replacement takes on the letter case of the text it
// replaces, judged by the letters that have a case (upper, lower or title
// case; letters of scripts without case, digits and signs do not count):
//   every one upper case          the replacement in upper case
//   every one lower case          the replacement in lower case
//   the first upper, rest lower   the first cased letter of the replacement
//                                 in title case, the rest as typed
//   anything else, or none        the replacement as typed
// A single upper-case letter is all upper case. Upper and lower case are
// Qt's full, language-neutral mappings, so "ß" becomes "SS" and "İ" becomes
// "i" with a combining dot above, and the replacement may change its length;
// Turkish dotless and dotted i follow no Turkish rule. Title case is one
// code point for one (QChar::toTitleCase): it differs from upper case only
// for the digraphs such as "ǆ", which become "ǅ", and leaves "ß" as it is.
#pragma once

#include <QString>
#include <QStringView>

namespace qm {

QString InCaseOf(QStringView replaced, const QString& replacement);

}  // namespace qm
