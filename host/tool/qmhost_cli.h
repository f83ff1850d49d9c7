// qmhost, the command-line tool that installs and fills the stand-in host.
//
// The whole command line runs through RunQmhost, so tests drive exactly what
// a shell would, with the output going to streams of their choice.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace qm::qmhost {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the host or a file failed
inline constexpr int kExitUsage = 2;    // the command line is wrong

// args: the words after the program name. Results go to out; messages about
// failures and wrong usage to err. Never throws.
int RunQmhost(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace qm::qmhost
