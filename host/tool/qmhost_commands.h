// The commands of qmhost: each is a table entry with its help and a function
// that runs it. The dispatcher (qmhost_cli.cpp) parses and checks the words
// against the entry before the function sees them.
//
// To add a command (a message endpoint's "serve", say), write its function
// and entry in a file of its own and add the entries from Subcommands().
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstdint>
#include <vector>

#include "host/tool/qmhost_args.h"

namespace qm::qmhost {

struct Subcommand {
  QString name;      // "install", "collection create"
  QString synopsis;  // what follows the name in the usage line
  QString summary;   // one line for the command list
  QString details;   // paragraphs for the command's --help
  std::vector<OptionInfo> options;
  // Names of the positional arguments; those in brackets ("[VALUE]") may be
  // left out, and come after the others.
  QStringList positionals;
  // Returns the exit status; throws UsageError or qm::Error.
  int (*run)(const ArgumentList& args, QTextStream& out, QTextStream& err) = nullptr;
};

void AddHostCommands(std::vector<Subcommand>& into);  // install, collection create, list, documents
void AddFillCommands(std::vector<Subcommand>& into);  // generate, import/export of bookmarks
void AddEditCommands(std::vector<Subcommand>& into);  // set-field, delete-document
void AddServeCommand(std::vector<Subcommand>& into);  // serve

// The collection that --collection names; UsageError for a malformed ID,
// qm::Error when no such collection is listed.
std::int32_t CollectionOption(const ArgumentList& args);

// One field for the tab-separated listings: "\N" for a field without a
// value; backslash, tab, line feed and carriage return as \\ \t \n \r, and
// every other control character (C0, DEL, C1) as \xHH, so that a text from
// an imported file cannot reach the terminal as a control sequence.
QString EscapeField(const QString& field);

}  // namespace qm::qmhost
