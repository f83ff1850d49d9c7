// Fills message texts with values.
//
// Messages of the text table carry placeholders in square brackets:
//   "[*]"        the next value in turn, in its plain text form;
//   "[]"         nothing (it still uses up a value, which need not exist);
//   "[n:...]"    with n one of 1 to 9: the n-th value (the last one when there
//                are fewer) for this one placeholder, without moving the turn
//                of the others;
//   "[pattern]"  the next value formatted with a pattern (see value_format.h);
//   "[=...]"     reserved for script code and always refused.
// Backslash escapes in the format: "\\" a backslash, "\t" a tab, "\r" a
// carriage return, "\n" a carriage return and a line feed, "\[" an opening
// bracket. Text inserted for a placeholder is never scanned again.
//
// After a positional placeholder the scan goes on directly behind the
// inserted text, as after every other placeholder, so "[1:*][2:*]" fills
// both.
//
// Failures are thrown as qm::Error with the numbers below; no result is
// produced then.
#pragma once

#include <QString>
#include <QVariantList>

#include <cstdint>

namespace modResource {

// A "[" without a "]" after it.
inline constexpr std::int32_t kMissingBracketError = static_cast<std::int32_t>(0x80040001u);
// A "*" or pattern placeholder with no value left.
inline constexpr std::int32_t kMissingValueError = static_cast<std::int32_t>(0x80040002u);
// A placeholder that begins with "=".
inline constexpr std::int32_t kScriptCodeError = static_cast<std::int32_t>(0x80040003u);

// Pure: reads nothing but its arguments.
QString printf(QString sFormat, const QVariantList& values);

}  // namespace modResource
