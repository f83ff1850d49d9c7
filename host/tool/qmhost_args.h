// Command-line words of one qmhost command: options, their values and the
// positional arguments, read by QCommandLineParser against what the command
// accepts.
//
// Wrong usage is thrown as UsageError (qmhost then exits with status 2 and
// points at --help); it never reaches the host.
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace qm::qmhost {

struct UsageError {
  QString message;
};

struct OptionInfo {
  QString name;  // with the dashes: "--documents"
  bool takesValue = false;
  QString valueName;  // for help texts: "N"
  QString help;
};

// Accepts "--name value", "--name=value", flags, "--" (everything after it is
// positional) and "-h"/"--help" anywhere. An option that takes a value takes
// the next word whatever it is, so "--seed -5" reaches the number check and
// gets a message about the number rather than about an unknown option. A
// single dash starts one-letter options, so "-documents" is no --documents.
// An unknown option, a missing or unexpected value and an option given twice
// are UsageErrors in our words, whatever the parser's translation says.
class ArgumentList {
 public:
  ArgumentList(const QStringList& words, const std::vector<OptionInfo>& options);
  ArgumentList(const ArgumentList&) = delete;
  ArgumentList& operator=(const ArgumentList&) = delete;

  bool helpRequested() const;
  const QStringList& positionals() const { return positionals_; }
  std::optional<QString> Value(const QString& option) const;
  bool Flag(const QString& option) const { return Value(option).has_value(); }

  // The value of a required option; UsageError when it is missing.
  QString Required(const QString& option) const;

 private:
  QCommandLineParser parser_;
  QStringList positionals_;
};

// A whole decimal number within [min, max]; anything else (blanks, signs on
// numbers that may not be negative, exponents, overflow) is a UsageError that
// names the option.
std::int64_t ParseWholeNumber(const QString& text, const QString& what, std::int64_t min,
                              std::int64_t max);
std::uint64_t ParseSeed(const QString& text, const QString& what);

}  // namespace qm::qmhost
