#include "text/value_format.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <cmath>
#include <cstdint>
#include <optional>

namespace modResource {

namespace {

// More decimals than a double can hold are only zeros.
constexpr int kMaxComputedDecimals = 340;

bool IsWholeNumberType(int typeId) {
  switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Char:
      return true;
    default:
      return false;
  }
}

bool IsFloatingType(int typeId) {
  return typeId == QMetaType::Double || typeId == QMetaType::Float;
}

// A number as sign and magnitude, the magnitude either exact (whole numbers)
// or a double.
struct Number {
  bool negative = false;
  std::optional<std::uint64_t> whole;
  double floating = 0;
};

std::uint64_t Magnitude(std::int64_t v) {
  return v < 0 ? ~static_cast<std::uint64_t>(v) + 1 : static_cast<std::uint64_t>(v);
}

std::optional<Number> AsNumber(const QVariant& value) {
  const int type = value.typeId();
  Number n;
  if (type == QMetaType::ULongLong || type == QMetaType::ULong || type == QMetaType::UInt) {
    n.whole = value.toULongLong();
    return n;
  }
  if (IsWholeNumberType(type)) {
    const std::int64_t v = value.toLongLong();
    n.negative = v < 0;
    n.whole = Magnitude(v);
    return n;
  }
  if (IsFloatingType(type)) {
    const double d = value.toDouble();
    if (!std::isfinite(d)) {
      return std::nullopt;
    }
    n.negative = std::signbit(d);
    n.floating = std::fabs(d);
    return n;
  }
  if (type == QMetaType::QString || type == QMetaType::QByteArray) {
    const QString text = value.toString().trimmed();
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    if (ok) {
      n.negative = v < 0;
      n.whole = Magnitude(v);
      return n;
    }
    const double d = QLocale::c().toDouble(text, &ok);
    if (ok && std::isfinite(d)) {
      n.negative = std::signbit(d);
      n.floating = std::fabs(d);
      return n;
    }
  }
  return std::nullopt;
}

bool IsDigitPlaceholder(QChar c) { return c == u'0' || c == u'#'; }
bool IsNumberPatternChar(QChar c) { return IsDigitPlaceholder(c) || c == u',' || c == u'.'; }

struct NumberPattern {
  QString prefix;
  QString suffix;
  qsizetype minIntegerDigits = 0;
  bool grouping = false;
  qsizetype minDecimals = 0;
  qsizetype maxDecimals = 0;
  bool percent = false;
};

std::optional<NumberPattern> ParseNumberPattern(const QString& pattern) {
  qsizetype i = 0;
  while (i < pattern.size()) {
    if (!IsNumberPatternChar(pattern.at(i))) {
      ++i;
      continue;
    }
    qsizetype end = i;
    bool hasDigit = false;
    while (end < pattern.size() && IsNumberPatternChar(pattern.at(end))) {
      hasDigit = hasDigit || IsDigitPlaceholder(pattern.at(end));
      ++end;
    }
    if (!hasDigit) {
      i = end;
      continue;
    }
    NumberPattern p;
    p.prefix = pattern.left(i);
    p.suffix = pattern.mid(end);
    p.percent = p.prefix.contains(u'%') || p.suffix.contains(u'%');
    bool afterPoint = false;
    for (qsizetype k = i; k < end; ++k) {
      const QChar c = pattern.at(k);
      if (c == u'.') {
        afterPoint = true;
      } else if (!afterPoint) {
        p.minIntegerDigits += (c == u'0');
        p.grouping = p.grouping || c == u',';
      } else if (IsDigitPlaceholder(c)) {
        ++p.maxDecimals;
        p.minDecimals += (c == u'0');
      }
    }
    return p;
  }
  return std::nullopt;
}

QString Grouped(const QString& digits) {
  QString out;
  out.reserve(digits.size() + digits.size() / 3);
  for (qsizetype k = 0; k < digits.size(); ++k) {
    if (k > 0 && (digits.size() - k) % 3 == 0) {
      out.append(u',');
    }
    out.append(digits.at(k));
  }
  return out;
}

bool HasNonZeroDigit(const QString& digits) {
  for (const QChar c : digits) {
    if (c >= u'1' && c <= u'9') {
      return true;
    }
  }
  return false;
}

// A value that rounds to zero is shown without a sign.
QString FormatNumber(const Number& number, const NumberPattern& p) {
  QString integerDigits;
  QString decimals;
  if (number.whole) {
    integerDigits = QString::number(*number.whole);
    if (p.percent && *number.whole != 0) {
      integerDigits.append(QStringLiteral("00"));
    }
  } else {
    const double value = p.percent ? number.floating * 100 : number.floating;
    const int computed = static_cast<int>(qMin<qsizetype>(p.maxDecimals, kMaxComputedDecimals));
    // Qt rounds the exact binary value, halves away from zero.
    const QString text = QString::number(value, 'f', computed);
    const qsizetype point = text.indexOf(u'.');
    integerDigits = point < 0 ? text : text.left(point);
    decimals = point < 0 ? QString() : text.mid(point + 1);
  }
  while (decimals.size() > p.minDecimals && decimals.endsWith(u'0')) {
    decimals.chop(1);
  }
  if (decimals.size() < p.minDecimals) {
    decimals.append(QString(p.minDecimals - decimals.size(), u'0'));
  }
  const bool allZero = !HasNonZeroDigit(integerDigits) && !HasNonZeroDigit(decimals);
  if (integerDigits == u'0' && p.minIntegerDigits == 0) {
    integerDigits.clear();
  }
  if (integerDigits.size() < p.minIntegerDigits) {
    integerDigits.prepend(QString(p.minIntegerDigits - integerDigits.size(), u'0'));
  }
  if (p.grouping) {
    integerDigits = Grouped(integerDigits);
  }
  QString out;
  if (number.negative && !allZero) {
    out.append(u'-');
  }
  out.append(p.prefix);
  out.append(integerDigits);
  if (!decimals.isEmpty()) {
    out.append(u'.');
    out.append(decimals);
  }
  out.append(p.suffix);
  return out;
}

// Qt's pattern language has no week numbers; "w" and "ww" become their
// digits before Qt sees the pattern (digits are never pattern letters, and
// quoting them could merge with a neighbouring quoted text).
QString WithWeekFields(const QString& pattern, const QDate& date) {
  if (!date.isValid()) {
    return pattern;
  }
  const int sundayBasedDay = date.dayOfWeek() % 7;  // 0 for Sunday
  const int jan1 = QDate(date.year(), 1, 1).dayOfWeek() % 7;
  const int weekOfYear = (date.dayOfYear() - 1 + jan1) / 7 + 1;
  QString out;
  out.reserve(pattern.size());
  bool quoted = false;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern.at(i);
    if (c == u'\'') {
      quoted = !quoted;
      out.append(c);
    } else if (c == u'w' && !quoted) {
      const bool week = i + 1 < pattern.size() && pattern.at(i + 1) == u'w';
      out.append(QString::number(week ? weekOfYear : sundayBasedDay + 1));
      i += week ? 1 : 0;
    } else {
      out.append(c);
    }
  }
  return out;
}

}  // namespace

QString PlainText(const QVariant& value) {
  const int type = value.typeId();
  if (!value.isValid() || value.isNull()) {
    return QString();
  }
  if (type == QMetaType::Bool) {
    return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
  }
  if (IsFloatingType(type)) {
    return QString::number(value.toDouble(), 'g', 15);
  }
  if (IsWholeNumberType(type)) {
    return value.toString();
  }
  switch (type) {
    case QMetaType::QDate:
      return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
      return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
      return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QByteArray:
      return QString::fromUtf8(value.toByteArray());
    default:
      return value.toString();
  }
}

QString FormatWithPattern(const QVariant& value, const QString& pattern) {
  switch (value.typeId()) {
    case QMetaType::QDate:
      return value.toDate().toString(WithWeekFields(pattern, value.toDate()));
    case QMetaType::QTime:
      return value.toTime().toString(pattern);
    case QMetaType::QDateTime: {
      const QDateTime dt = value.toDateTime();
      return dt.toString(WithWeekFields(pattern, dt.date()));
    }
    default:
      break;
  }
  if (const auto number = AsNumber(value)) {
    if (const auto parsed = ParseNumberPattern(pattern)) {
      return FormatNumber(*number, *parsed);
    }
  }
  return PlainText(value);
}

}  // namespace modResource
