#include "text/mod_resource.h"

#include <utility>

#include "platform/error.h"
#include "text/value_format.h"

namespace modResource {

namespace {

QString ConvertEscapes(QString text) {
  // The order matters: a doubled backslash is taken first, so "\\n" stays a
  // backslash followed by the letter n.
  text.replace(QStringLiteral("\\\\"), QStringLiteral("[\\]"));
  text.replace(QStringLiteral("\\t"), QStringLiteral("\t"));
  text.replace(QStringLiteral("\\r"), QStringLiteral("\r"));
  text.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
  text.replace(QStringLiteral("\\["), QStringLiteral("[(]"));
  return text;
}

[[noreturn]] void ThrowMissingBracket(qsizetype position) {
  throw qm::Error(
      kMissingBracketError, QStringLiteral("printf"),
      QStringLiteral("Missing ']' after '[' at position ") + QString::number(position) + u'!');
}

[[noreturn]] void ThrowMissingValue(const QString& placeholder) {
  throw qm::Error(kMissingValueError, QStringLiteral("printf"),
                  QStringLiteral("Missing value in printf-call for format string '[") +
                      placeholder + QStringLiteral("]'!"));
}

[[noreturn]] void ThrowScriptCode() {
  throw qm::Error(kScriptCodeError, QStringLiteral("sprintf"),
                  QStringLiteral("No script code allowed in placeholder string. Use the sprintf "
                                 "COM-component instead."));
}

bool IsPositional(const QString& placeholder) {
  return placeholder.size() >= 2 && placeholder.at(0) >= u'1' && placeholder.at(0) <= u'9' &&
         placeholder.at(1) == u':';
}

// The text for one placeholder. `index` is the value it would take; the
// result says whether the placeholder used up a value.
struct Filled {
  QString text;
  bool usedValue;
};

Filled Fill(const QString& placeholder, qsizetype index, const QVariantList& values) {
  if (placeholder.isEmpty()) {
    return {QString(), true};
  }
  if (placeholder == u'(') {
    return {QStringLiteral("["), false};
  }
  if (placeholder == u'\\') {
    return {QStringLiteral("\\"), false};
  }
  if (index < 0 || index >= values.size()) {
    ThrowMissingValue(placeholder);
  }
  const QVariant& value = values.at(index);
  if (placeholder == u'*') {
    return {PlainText(value), true};
  }
  return {FormatWithPattern(value, placeholder), true};
}

}  // namespace

QString printf(QString sFormat, const QVariantList& values) {
  const QString source = ConvertEscapes(std::move(sFormat));
  // The working text of the description is always `result` followed by what
  // is left of `source` from `scan` on; it is built once, from left to right,
  // so a format with many placeholders costs no more than its length.
  QString result;
  result.reserve(source.size());
  qsizetype scan = 0;
  qsizetype valueIndex = 0;
  for (;;) {
    const qsizetype open = source.indexOf(u'[', scan);
    if (open < 0) {
      break;
    }
    const qsizetype close = source.indexOf(u']', open + 1);
    if (close < 0) {
      ThrowMissingBracket(result.size() + (open - scan) + 1);
    }
    QString placeholder = source.mid(open + 1, close - open - 1);
    qsizetype index = valueIndex;
    const bool positional = IsPositional(placeholder);
    if (positional) {
      const qsizetype wanted = placeholder.at(0).unicode() - u'1';
      index = qMin(wanted, values.size() - 1);
      placeholder.remove(0, 2);
    }
    if (placeholder.startsWith(u'=')) {
      ThrowScriptCode();
    }
    const Filled filled = Fill(placeholder, index, values);
    result.append(QStringView(source).mid(scan, open - scan));
    result.append(filled.text);
    scan = close + 1;
    if (!positional && filled.usedValue) {
      ++valueIndex;
    }
  }
  result.append(QStringView(source).mid(scan));
  return result;
}

}  // namespace modResource
