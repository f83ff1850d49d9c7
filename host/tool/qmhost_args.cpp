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

bool IsHelp(const QString& name) { return name == u"h" || name == u"help"; }

// An unknown option as the command line spells it: "--name", or the whole
// word a single dash began ("-x5" for the letter x), up to an "=".
QString Spelled(const QStringList& words, const QString& name) {
  for (const QString& word : words) {
    const QString option = word.section(u'=', 0, 0);
    if (option == QStringLiteral("--") + name) return option;
    if (!word.startsWith(u"--") && word.startsWith(u'-') && word.mid(1).contains(name)) {
      return option;
    }
  }
  return QStringLiteral("--") + name;
}

// The parser tells what went wrong in its own translated words only; ours
// come from what it found and from the words themselves. Of a command line
// with more than one fault, one is named.
QString ParseFailure(const QCommandLineParser& parser, const QStringList& words,
                     const std::vector<OptionInfo>& options) {
  const QStringList unknown = parser.unknownOptionNames();
  if (!unknown.isEmpty()) {
    return QStringLiteral("unknown option %1").arg(Spelled(words, unknown.front()));
  }
  for (const QString& word : words) {
    const qsizetype equals = word.indexOf(u'=');
    if (!word.startsWith(u'-') || equals < 0) continue;
    const QString name = word.left(equals);
    const OptionInfo* known = Find(options, name);
    if ((known && !known->takesValue) || name == u"--help" || name == u"-h") {
      return QStringLiteral("%1 takes no value").arg(name);
    }
  }
  // A value can be missing only after the last word.
  if (!words.isEmpty()) {
    const OptionInfo* known = Find(options, words.back());
    if (known && known->takesValue) {
      return QStringLiteral("%1 needs a value (%1 %2)").arg(known->name, known->valueName);
    }
  }
  return parser.errorText();
}

}  // namespace

ArgumentList::ArgumentList(const QStringList& words, const std::vector<OptionInfo>& options) {
  parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
  parser_.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  // Not addHelpOption(): it would take "-?" on Windows, and qmhost's help is
  // its own.
  parser_.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
  for (const auto& option : options) {
    const QString valueName =
        option.valueName.isEmpty() ? QStringLiteral("VALUE") : option.valueName;
    parser_.addOption(QCommandLineOption(option.name.mid(2), option.help,
                                         option.takesValue ? valueName : QString()));
  }
  if (!parser_.parse(QStringList{QStringLiteral("qmhost")} + words)) {
    throw UsageError{ParseFailure(parser_, words, options)};
  }
  // The parser keeps every value of an option given twice; we take none.
  QStringList seen;
  for (const QString& name : parser_.optionNames()) {
    if (IsHelp(name)) continue;
    if (seen.contains(name)) {
      throw UsageError{QStringLiteral("--%1 is given more than once").arg(name)};
    }
    seen.append(name);
  }
  positionals_ = parser_.positionalArguments();
}

bool ArgumentList::helpRequested() const { return parser_.isSet(QStringLiteral("help")); }

std::optional<QString> ArgumentList::Value(const QString& option) const {
  const QString name = option.mid(2);
  if (!parser_.isSet(name)) return std::nullopt;
  return parser_.value(name);
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
