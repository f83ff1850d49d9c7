#include "host/tool/qmhost_cli.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "host/tool/qmhost_commands.h"
#include "platform/error.h"

namespace qm::qmhost {

namespace {

const std::vector<Subcommand>& Subcommands() {
  static const std::vector<Subcommand> commands = [] {
    std::vector<Subcommand> list;
    AddHostCommands(list);
    AddFillCommands(list);
    AddEditCommands(list);
    AddServeCommand(list);
    return list;
  }();
  return commands;
}

void PrintOverview(QTextStream& out) {
  out << "Usage: qmhost COMMAND [ARGUMENTS]\n\n"
         "Installs the stand-in host on this machine and fills its collections.\n"
         "The host's registry is $XDG_CONFIG_HOME/qmregistry/registry.db\n"
         "(XDG_CONFIG_HOME defaults to ~/.config).\n\n"
         "Commands:\n";
  for (const auto& c : Subcommands()) {
    out << "  " << c.name.leftJustified(20) << c.summary << "\n";
  }
  out << "\nRun \"qmhost COMMAND --help\" for the arguments of a command.\n"
         "Exit status: 0 done, 1 failed, 2 wrong command line.\n";
}

void PrintHelp(const Subcommand& c, QTextStream& out) {
  out << "Usage: qmhost " << c.name;
  if (!c.synopsis.isEmpty()) out << " " << c.synopsis;
  out << "\n\n" << c.summary << ".\n\n" << c.details << "\n";
  std::vector<std::pair<QString, QString>> rows;
  for (const auto& o : c.options) {
    rows.emplace_back(o.takesValue ? o.name + u' ' + o.valueName : o.name, o.help);
  }
  // The help column stays where it always was unless an option with its
  // value is too long for it; then every row moves, and two spaces remain.
  qsizetype column = 22;
  for (const auto& row : rows) column = std::max(column, row.first.size() + 2);
  if (!rows.empty()) out << "\nOptions:\n";
  rows.emplace_back(QStringLiteral("--help"), QStringLiteral("show this help"));
  for (const auto& [left, help] : rows) out << "  " << left.leftJustified(column) << help << "\n";
}

// The entry whose words begin the command line, or nullptr; *used is how many
// words its name took.
const Subcommand* Match(const QStringList& args, qsizetype* used) {
  for (const auto& c : Subcommands()) {
    const QStringList words = c.name.split(u' ');
    if (args.size() >= words.size() && args.mid(0, words.size()) == words) {
      *used = words.size();
      return &c;
    }
  }
  return nullptr;
}

int Usage(QTextStream& err, const QString& command, const QString& message) {
  const QString prefix =
      command.isEmpty() ? QStringLiteral("qmhost") : QStringLiteral("qmhost ") + command;
  err << prefix << ": " << message << "\n"
      << "Run \"" << prefix << " --help\" for help.\n";
  return kExitUsage;
}

int RunCommand(const Subcommand& command, const QStringList& words, QTextStream& out,
               QTextStream& err) {
  const ArgumentList args(words, command.options);
  if (args.helpRequested()) {
    PrintHelp(command, out);
    return kExitSuccess;
  }
  const qsizetype most = command.positionals.size();
  const qsizetype given = args.positionals().size();
  if (given < most && !command.positionals.at(given).startsWith(u'[')) {
    throw UsageError{QStringLiteral("%1 is missing").arg(command.positionals.at(given))};
  }
  if (given > most) {
    throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(args.positionals().at(most))};
  }
  return command.run(args, out, err);
}

}  // namespace

int RunQmhost(const QStringList& args, QTextStream& out, QTextStream& err) {
  int status = kExitSuccess;
  QString commandName;
  try {
    if (args.isEmpty()) {
      PrintOverview(err);
      status = kExitUsage;
    } else if (args.front() == u"--help" || args.front() == u"-h" || args.front() == u"help") {
      const QStringList topic = args.mid(1);
      qsizetype used = 0;
      const Subcommand* command = topic.isEmpty() ? nullptr : Match(topic, &used);
      if (topic.isEmpty()) {
        PrintOverview(out);
      } else if (command) {
        PrintHelp(*command, out);
      } else {
        status = Usage(err, {}, QStringLiteral("no command \"%1\"").arg(topic.join(u' ')));
      }
    } else {
      qsizetype used = 0;
      const Subcommand* command = Match(args, &used);
      if (!command) {
        status = Usage(err, {}, QStringLiteral("unknown command \"%1\"").arg(args.front()));
      } else {
        commandName = command->name;
        status = RunCommand(*command, args.mid(used), out, err);
      }
    }
  } catch (const UsageError& e) {
    status = Usage(err, commandName, e.message);
  } catch (const Error& e) {
    err << "qmhost" << (commandName.isEmpty() ? QString() : u' ' + commandName) << ": "
        << e.description() << " (" << e.source() << ", " << FormatErrorNumber(e.number()) << ")\n";
    status = kExitFailure;
  } catch (const std::exception& e) {
    err << "qmhost: unexpected failure: " << e.what() << "\n";
    status = kExitFailure;
  }
  out.flush();
  err.flush();
  return status;
}

}  // namespace qm::qmhost
