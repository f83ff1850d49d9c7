// qmhost: installs and fills the stand-in host. See qmhost_cli.h.
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

#include "host/tool/qmhost_cli.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  return qm::qmhost::RunQmhost(QCoreApplication::arguments().mid(1), out, err);
}
