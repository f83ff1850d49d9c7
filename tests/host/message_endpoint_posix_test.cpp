// Where the host's message window lives, and that nobody else can take it.
#include "host/lib/message_endpoint.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

#include "common/test_environment.h"
#include "host/tool/qmhost_cli.h"
#include "platform/host_window.h"

namespace {

using qm::testing::ScopedEnv;

const QString kCaption = QString::fromLatin1(qm::host::kMessageWindowCaption);

mode_t ModeOf(const QString& path) {
  struct stat info {};
  return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// What the tool does to ask the host for a refresh, without the window.
bool SendToHost(const QByteArray& command) {
  auto& windows = qm::platform::SystemWindows();
  const auto form = windows.FindWindowEx(0, 0, QStringLiteral("ThunderRT6FormDC"), kCaption);
  const auto box =
      form ? windows.FindWindowEx(form, 0, QStringLiteral("ThunderRT6TextBox"), {}) : 0;
  return box != 0 && windows.SendSetTextTimeout(box, command, 100);
}

bool Arrives(qm::host::MessageEndpoint& endpoint, const QByteArray& command) {
  QSignalSpy received(&endpoint, &qm::host::MessageEndpoint::CommandReceived);
  if (!SendToHost(command)) return false;
  QDeadlineTimer deadline(5000);
  while (received.isEmpty() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return received.size() == 1 && received[0][0].toString() == QString::fromUtf8(command);
}

// TMPDIR stands in for the shared /tmp; the session has no runtime folder
// unless a test gives it one.
class MessageWindowFolder : public ::testing::Test {
 protected:
  QString Fallback() const {
    return shared_.path() + QStringLiteral("/qmreplace-%1").arg(::geteuid());
  }

  QTemporaryDir shared_;
  ScopedEnv tmp_{"TMPDIR", shared_.path().toUtf8()};
  ScopedEnv runtime_{"XDG_RUNTIME_DIR", QByteArray()};
};

TEST_F(MessageWindowFolder, LivesInTheUsersRuntimeFolder) {
  // 0700 and ours, as a session's runtime folder is; beside the shared
  // folder, not in it.
  QTemporaryDir runtime(shared_.path() + QStringLiteral("/../runtime-XXXXXX"));
  ScopedEnv session("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  const QString expected = runtime.path() + u'/' + kCaption;
  EXPECT_EQ(qm::platform::HostWindowSocketName(kCaption), expected);

  qm::host::MessageEndpoint endpoint;
  ASSERT_TRUE(endpoint.Listen()) << endpoint.ErrorString().toStdString();
  EXPECT_EQ(endpoint.Path(), expected);
  EXPECT_TRUE(Arrives(endpoint, "RefreshFolderTreeview"));
  EXPECT_TRUE(QDir(shared_.path())
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden)
                  .isEmpty())
      << "nothing goes into the shared folder";
}

TEST_F(MessageWindowFolder, WithoutOneItIsAPrivateFolderOfTheUsers) {
  const mode_t previous = ::umask(0);  // nothing may depend on a kind umask
  const QString path = qm::platform::HostWindowSocketName(kCaption);
  ::umask(previous);
  EXPECT_EQ(path, Fallback() + u'/' + kCaption);
  EXPECT_EQ(ModeOf(Fallback()), 0700u);

  qm::host::MessageEndpoint endpoint;
  ASSERT_TRUE(endpoint.Listen()) << endpoint.ErrorString().toStdString();
  EXPECT_EQ(endpoint.Path(), path);
  EXPECT_TRUE(Arrives(endpoint, "RefreshFolderTreeview"));
  EXPECT_EQ(QDir(shared_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
            QStringList{QFileInfo(Fallback()).fileName()});
}

TEST_F(MessageWindowFolder, AnUnsoundRuntimeFolderIsPassedOver) {
  QTemporaryDir open;
  ASSERT_EQ(::chmod(QFile::encodeName(open.path()).constData(), 0755), 0);
  for (const QByteArray& value :
       {open.path().toUtf8(), QByteArray("relative/run"), (open.path() + "/missing").toUtf8()}) {
    ScopedEnv session("XDG_RUNTIME_DIR", value);
    EXPECT_EQ(qm::platform::HostWindowSocketName(kCaption), Fallback() + u'/' + kCaption)
        << value.toStdString();
  }
}

// Someone else got to the fixed name first, or the user's own folder was
// left open: it is not used, not repaired, and the tool sends nothing there.
TEST_F(MessageWindowFolder, AFolderOthersCouldUseIsRefused) {
  struct Case {
    const char* name;
    std::function<bool(const QString&)> prepare;
    const char* why;
    bool needsRoot = false;  // to give a folder away
  };
  const QByteArray target = shared_.filePath("elsewhere").toUtf8();
  const Case cases[] = {
      {"open to the group",
       [](const QString& f) {
         return QDir().mkdir(f) && ::chmod(QFile::encodeName(f).constData(), 0750) == 0;
       },
       "open to other users (mode 0750)"},
      {"open to all",
       [](const QString& f) {
         return QDir().mkdir(f) && ::chmod(QFile::encodeName(f).constData(), 0777) == 0;
       },
       "open to other users (mode 0777)"},
      {"another user's",
       [](const QString& f) {
         return QDir().mkdir(f) && ::chmod(QFile::encodeName(f).constData(), 0700) == 0 &&
                ::chown(QFile::encodeName(f).constData(), 65534, 65534) == 0;
       },
       "belongs to another user (uid 65534)", true},
      {"a symbolic link",
       [&target](const QString& f) {
         return QDir().mkpath(QString::fromUtf8(target)) &&
                ::symlink(target.constData(), QFile::encodeName(f).constData()) == 0;
       },
       "is a symbolic link"},
      {"a file",
       [](const QString& f) {
         QFile file(f);
         return file.open(QIODevice::WriteOnly);
       },
       "is not a folder"},
  };
  for (const auto& c : cases) {
    const QString folder = Fallback();
    ASSERT_TRUE(QDir(shared_.path()).removeRecursively() && QDir().mkpath(shared_.path()));
    if (c.needsRoot && ::geteuid() != 0) continue;
    if (!c.prepare(folder)) {
      ADD_FAILURE() << c.name << ": cannot set up (" << std::strerror(errno) << ")";
      continue;
    }
    const mode_t before = ModeOf(folder);
    if (QFileInfo(folder).isDir() && !QFileInfo(folder).isSymLink()) {
      QFile planted(folder + u'/' + kCaption);  // a listener someone left there
      planted.open(QIODevice::WriteOnly);
    }

    QString problem;
    EXPECT_TRUE(qm::platform::HostWindowSocketName(kCaption, &problem).isEmpty()) << c.name;
    EXPECT_TRUE(problem.contains(QString::fromLatin1(c.why)))
        << c.name << ": " << problem.toStdString();
    EXPECT_TRUE(problem.contains(folder)) << c.name;

    qm::host::MessageEndpoint endpoint;
    EXPECT_FALSE(endpoint.Listen()) << c.name;
    EXPECT_TRUE(endpoint.ErrorString().contains(QString::fromLatin1(c.why))) << c.name;
    EXPECT_EQ(qm::platform::SystemWindows().FindWindowEx(0, 0, QStringLiteral("ThunderRT6FormDC"),
                                                         kCaption),
              0u)
        << c.name;
    EXPECT_EQ(ModeOf(folder), before) << c.name;
  }
}

TEST_F(MessageWindowFolder, ServeSaysWhyItCannotListen) {
  ASSERT_TRUE(QDir().mkdir(Fallback()));
  ASSERT_EQ(::chmod(QFile::encodeName(Fallback()).constData(), 0755), 0);
  QString output;
  QString errors;
  QTextStream out(&output);
  QTextStream err(&errors);
  // Were it to listen after all, one message ends it rather than the test.
  QTimer::singleShot(500, [] { SendToHost("stop"); });
  EXPECT_EQ(
      qm::qmhost::RunQmhost(
          {QStringLiteral("serve"), QStringLiteral("--count"), QStringLiteral("1")}, out, err),
      1);
  EXPECT_TRUE(output.isEmpty());
  EXPECT_TRUE(
      errors.startsWith("qmhost serve: Cannot open the host's message window: no safe "
                        "folder for the message window: the folder " +
                        Fallback() + " is open to other users (mode 0755)"))
      << errors.toStdString();
}

}  // namespace
