// qmhost's message window and the resource library its install writes.
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

#include "common/test_environment.h"
#include "host/tool/qmhost_cli.h"
#include "platform/environment.h"
#include "platform/host_window.h"
#include "platform/pe_resources.h"

namespace {

int RunTool(const QStringList& args, QString* output) {
  QTextStream out(output);
  QString errors;
  QTextStream err(&errors);
  const int status = qm::qmhost::RunQmhost(args, out, err);
  out.flush();
  return status;
}

// What the tool does to ask the host for a refresh, without the window.
bool SendToHost(const QByteArray& command) {
  auto& windows = qm::platform::SystemWindows();
  const auto form = windows.FindWindowEx(0, 0, QStringLiteral("ThunderRT6FormDC"),
                                         QStringLiteral("QMShellCommunicator2006"));
  const auto box =
      form ? windows.FindWindowEx(form, 0, QStringLiteral("ThunderRT6TextBox"), {}) : 0;
  return box != 0 && windows.SendSetTextTimeout(box, command, 100);
}

TEST(QmhostServe, PrintsEveryCommandItReceives) {
  QTemporaryDir socketDir;
  qm::testing::ScopedEnv tmp("TMPDIR", socketDir.path().toUtf8());
  bool sent = false;
  QTimer::singleShot(0, [&] {
    sent = SendToHost("RefreshFolderTreeview") && SendToHost(QByteArray("Zw\xC3\xB6lf\x1b[2J"));
  });
  QString output;
  ASSERT_EQ(
      RunTool({QStringLiteral("serve"), QStringLiteral("--count"), QStringLiteral("2")}, &output),
      0);
  EXPECT_TRUE(sent);
  const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  // In a folder of the user's own, never right in the shared one.
  EXPECT_EQ(lines[0], QStringLiteral("Listening as the host's message window "
                                     "\"QMShellCommunicator2006\" (%1/qmreplace-%2/"
                                     "QMShellCommunicator2006).")
                          .arg(socketDir.path())
                          .arg(::geteuid()));
  EXPECT_EQ(lines[1], QStringLiteral("RefreshFolderTreeview"));
  // Anyone who can reach the window chooses what it prints: no control
  // sequence gets through to the terminal.
  EXPECT_EQ(lines[2], QString::fromUtf8("Zwölf\\x1b[2J"));
}

TEST(QmhostServe, RefusesACountThatIsNoNumber) {
  QString output;
  EXPECT_EQ(
      RunTool({QStringLiteral("serve"), QStringLiteral("--count"), QStringLiteral("0")}, &output),
      2);
  EXPECT_EQ(
      RunTool({QStringLiteral("serve"), QStringLiteral("--count"), QStringLiteral("x")}, &output),
      2);
}

TEST(QmhostInstall, WritesTheHostsResourceLibraryUnlessAskedNotTo) {
  qm::testing::ScopedConfigHome config;
  QTemporaryDir withLibrary;
  QTemporaryDir withoutLibrary;
  QString output;
  ASSERT_EQ(RunTool({QStringLiteral("install"), QStringLiteral("--edition"), QStringLiteral("en"),
                     QStringLiteral("--install-dir"), withLibrary.path()},
                    &output),
            0);
  const QString library = QDir(withLibrary.path()).filePath(QStringLiteral("QMRes.dll"));
  ASSERT_TRUE(QFileInfo(library).isFile());
  const auto module = qm::platform::PeResourceModule::FromFile(library);
  EXPECT_TRUE(module.LoadIcon(QStringLiteral("Folder_Blue_16_XP")).has_value());

  ASSERT_EQ(RunTool({QStringLiteral("install"), QStringLiteral("--edition"), QStringLiteral("de"),
                     QStringLiteral("--install-dir"), withoutLibrary.path(),
                     QStringLiteral("--no-resource-library")},
                    &output),
            0);
  EXPECT_FALSE(
      QFileInfo::exists(QDir(withoutLibrary.path()).filePath(QStringLiteral("QMRes.dll"))));
}

}  // namespace
