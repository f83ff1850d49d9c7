#include "host/tool/qmhost_args.h"

#include <limits>

namespace qm::qmhost {

namespace {

const OptionInfo* Find(const std::vector<OptionInfo>& options, const QString& name) {
  for (const auto& option : options) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

bool AllDigits(const QString& text) {
  if (text.isEmpty()) return false;
  for (const QChar c : text) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

}  // namespace

ArgumentList::ArgumentList(const QStringList& words, const std::vector<OptionInfo>& options) {
  bool onlyPositionals = false;
  for (qsizetype i = 0; i < words.size(); ++i) {
    const QString& word = words[i];
    if (onlyPositionals || !word.startsWith(u'-') || word == u"-") {
      positionals_.append(word);
      continue;
    }
    if (word == u"--") {
      onlyPositionals = true;
      continue;
    }
    if (word == u"-h" || word == u"--help") {
      help_ = true;
      continue;
    }
    const qsizetype equals = word.indexOf(u'=');
    const QString name = equals < 0 ? word : word.left(equals);
    const OptionInfo* known = Find(options, name);
    if (!known) throw UsageError{QStringLiteral("unknown option %1").arg(name)};
    if (Value(name)) throw UsageError{QStringLiteral("%1 is given more than once").arg(name)};
    QString value;
    if (known->takesValue) {
      if (equals >= 0) {
        value = word.mid(equals + 1);
      } else if (i + 1 < words.size()) {
        value = words[++i];
      } else {
        throw UsageError{QStringLiteral("%1 needs a value (%1 %2)").arg(name, known->valueName)};
      }
    } else if (equals >= 0) {
      throw UsageError{QStringLiteral("%1 takes no value").arg(name)};
    } else {
      value = QStringLiteral("");
    }
    values_.emplace_back(name, value);
  }
}

std::optional<QString> ArgumentList::Value(const QString& option) const {
  for (const auto& [name, value] : values_) {
    if (name == option) return value;
  }
  return std::nullopt;
}

QString ArgumentList::Required(const QString& option) const {
  const std::optional<QString> value = Value(option);
  if (!value) throw UsageError{QStringLiteral("%1 is required").arg(option)};
  return *value;
}

std::int64_t ParseWholeNumber(const QString& text, const QString& what, std::int64_t min,
                              std::int64_t max) {
  const bool negative = text.startsWith(u'-');
  const QString digits = negative ? text.mid(1) : text;
  if (!AllDigits(digits)) {
    throw UsageError{QStringLiteral("%1: \"%2\" is not a whole number").arg(what, text)};
  }
  if (negative && min >= 0) {
    throw UsageError{
        QStringLiteral("%1: %2 is negative; give %3 or more").arg(what, text).arg(min)};
  }
  bool ok = false;
  const qlonglong value = text.toLongLong(&ok);
  if (!ok || value > max) {
    throw UsageError{
        QStringLiteral("%1: %2 is too large; the most is %3").arg(what, text).arg(max)};
  }
  if (value < min) {
    throw UsageError{
        QStringLiteral("%1: %2 is too small; the least is %3").arg(what, text).arg(min)};
  }
  return value;
}

std::uint64_t ParseSeed(const QString& text, const QString& what) {
  if (text.startsWith(u'-')) {
    throw UsageError{QStringLiteral("%1: %2 is negative; give 0 or more").arg(what, text)};
  }
  if (!AllDigits(text)) {
    throw UsageError{QStringLiteral("%1: \"%2\" is not a whole number").arg(what, text)};
  }
  bool ok = false;
  const qulonglong value = text.toULongLong(&ok);
  if (!ok) {
    throw UsageError{QStringLiteral("%1: %2 is too large; the most is %3")
                         .arg(what, text)
                         .arg(std::numeric_limits<std::uint64_t>::max())};
  }
  return value;
}

}  // namespace qm::qmhost
