// The fill rules of modResource::printf read literally: a working text
// rewritten placeholder by placeholder. The formatter builds its result in
// one pass instead; tests and the fuzz target check that both agree.
#pragma once

#include <QString>
#include <QVariantList>

#include <cstdint>

#include "platform/error.h"
#include "text/mod_resource.h"
#include "text/value_format.h"

namespace qm::testing {

struct Outcome {
  QString text;
  std::int32_t error = 0;
  QString source;
  QString description;
  bool operator==(const Outcome&) const = default;
};

inline Outcome ModelPrintf(QString working, const QVariantList& values) {
  working.replace(QStringLiteral("\\\\"), QStringLiteral("[\\]"));
  working.replace(QStringLiteral("\\t"), QStringLiteral("\t"));
  working.replace(QStringLiteral("\\r"), QStringLiteral("\r"));
  working.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
  working.replace(QStringLiteral("\\["), QStringLiteral("[(]"));
  const qsizetype last = values.size() - 1;
  qsizetype scan = 0;
  qsizetype index = 0;
  for (;;) {
    const qsizetype open = working.indexOf(u'[', scan);
    if (open < 0) {
      return {working, 0, {}, {}};
    }
    const qsizetype close = working.indexOf(u']', open + 1);
    if (close < 0) {
      return {QString(), static_cast<std::int32_t>(0x80040001u), QStringLiteral("printf"),
              QStringLiteral("Missing ']' after '[' at position %1!").arg(open + 1)};
    }
    QString text = working.mid(open + 1, close - open - 1);
    const qsizetype saved = index;
    const bool positional =
        text.size() >= 2 && text.at(0) >= u'1' && text.at(0) <= u'9' && text.at(1) == u':';
    if (positional) {
      index = qMin<qsizetype>(text.at(0).unicode() - u'1', last);
      text = text.mid(2);
    }
    if (text.startsWith(u'=')) {
      return {QString(), static_cast<std::int32_t>(0x80040003u), QStringLiteral("sprintf"),
              QStringLiteral("No script code allowed in placeholder string. Use the sprintf "
                             "COM-component instead.")};
    }
    QString replacement;
    if (text == u'(') {
      replacement = QStringLiteral("[");
      --index;
    } else if (text == u'\\') {
      replacement = QStringLiteral("\\");
      --index;
    } else if (!text.isEmpty()) {
      if (index > last || index < 0) {
        return {QString(), static_cast<std::int32_t>(0x80040002u), QStringLiteral("printf"),
                QStringLiteral("Missing value in printf-call for format string '[%1]'!").arg(text)};
      }
      replacement = text == u'*' ? modResource::PlainText(values.at(index))
                                 : modResource::FormatWithPattern(values.at(index), text);
    }
    working = working.left(open) + replacement + working.mid(close + 1);
    scan = open + replacement.size();
    index = positional ? saved : index + 1;
  }
}

inline Outcome PrintfOutcome(const QString& format, const QVariantList& values) {
  try {
    return {modResource::printf(format, values), 0, {}, {}};
  } catch (const qm::Error& e) {
    return {QString(), e.number(), e.source(), e.description()};
  }
}

}  // namespace qm::testing
