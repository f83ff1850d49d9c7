// serve: the host's message window, for watching what the tool sends.
#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>

#include "host/lib/message_endpoint.h"
#include "host/tool/qmhost_args.h"
#include "host/tool/qmhost_commands.h"
#include "platform/error.h"

namespace qm::qmhost {
namespace {

int RunServe(const ArgumentList& args, QTextStream& out, QTextStream&) {
  const std::optional<QString> countText = args.Value(QStringLiteral("--count"));
  std::int64_t remaining =
      countText ? ParseWholeNumber(*countText, QStringLiteral("--count"), 1, 1'000'000'000) : -1;

  host::MessageEndpoint endpoint;
  const QString caption = QString::fromLatin1(host::kMessageWindowCaption);
  if (!endpoint.Listen(caption)) {
    throw Error(
        ErrorNumber(0x800411E0u), QStringLiteral("QMHost.Serve"),
        QStringLiteral("Cannot open the host's message window: %1").arg(endpoint.ErrorString()));
  }
  out << "Listening as the host's message window \"" << caption << "\" (" << endpoint.Path()
      << ").\n";
  out.flush();

  QEventLoop loop;
  QObject::connect(&endpoint, &host::MessageEndpoint::CommandReceived, &loop,
                   [&](const QString& command) {
                     // Whoever can reach the window chooses the text.
                     out << EscapeField(command) << "\n";
                     out.flush();
                     if (remaining > 0 && --remaining == 0) {
                       loop.quit();
                     }
                   });
  loop.exec();
  return 0;
}

}  // namespace

void AddServeCommand(std::vector<Subcommand>& into) {
  into.push_back(
      {QStringLiteral("serve"),
       QStringLiteral("[--count N]"),
       QStringLiteral("act as the running host's message window and print every command"),
       QStringLiteral(
           "Listens as the host's message window \"QMShellCommunicator2006\" and prints\n"
           "each command text the tool puts into it, one per line (escaped as in\n"
           "\"qmhost documents\"), for instance\n"
           "\"RefreshFolderTreeview\" at the end of a run. Runs until stopped, or until N\n"
           "commands have arrived.\n\n"
           "The window is a local socket in the user's runtime folder ($XDG_RUNTIME_DIR),\n"
           "or, without one, in the folder qmreplace-UID of the temporary folder, which\n"
           "must be the user's own and closed to others (mode 0700)."),
       {{QStringLiteral("--count"), true, QStringLiteral("N"),
         QStringLiteral("stop after N commands")}},
       {},
       &RunServe});
}

}  // namespace qm::qmhost
