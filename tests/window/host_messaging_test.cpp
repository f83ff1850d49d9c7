#include "window/host_messaging.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "common/test_environment.h"
#include "host/lib/message_endpoint.h"

namespace {

using qm::platform::WindowHandle;

// A desktop of made-up windows, to drive the search through both
// generations of the host's window classes.
class FakeWindows final : public qm::platform::WindowSystem {
 public:
  struct Window {
    WindowHandle parent;
    QString className;
    QString caption;
  };

  WindowHandle Add(WindowHandle parent, const QString& className, const QString& caption = {}) {
    windows_.push_back({parent, className, caption});
    return windows_.size();
  }

  WindowHandle FindWindowEx(WindowHandle parent, WindowHandle childAfter, const QString& className,
                            const QString& windowName) override {
    for (WindowHandle h = childAfter + 1; h <= windows_.size(); ++h) {
      const Window& w = windows_[h - 1];
      if (w.parent == parent && (className.isEmpty() || w.className == className) &&
          (windowName.isEmpty() || w.caption == windowName)) {
        return h;
      }
    }
    return 0;
  }

  bool SendSetTextTimeout(WindowHandle window, const QByteArray& text, int timeoutMs) override {
    sent.emplace_back(window, text);
    lastTimeout = timeoutMs;
    return true;
  }

  std::vector<std::pair<WindowHandle, QByteArray>> sent;
  int lastTimeout = -1;

 private:
  std::vector<Window> windows_;
};

const QString kCaption = QStringLiteral("QMShellCommunicator2006");

TEST(GetTextBoxHandle, TriesTheNewerWindowClassesFirstAndStopsThere) {
  FakeWindows desktop;
  const WindowHandle oldForm = desktop.Add(0, QStringLiteral("ThunderFormDC"), kCaption);
  desktop.Add(oldForm, QStringLiteral("ThunderTextBox"));
  // A newer window without its text box hides the older one.
  const WindowHandle newForm = desktop.Add(0, QStringLiteral("ThunderRT6FormDC"), kCaption);
  EXPECT_EQ(qm::GetTextBoxHandle(kCaption, desktop), 0u);

  const WindowHandle box = desktop.Add(newForm, QStringLiteral("ThunderRT6TextBox"));
  EXPECT_EQ(qm::GetTextBoxHandle(kCaption, desktop), box);
}

TEST(GetTextBoxHandle, FallsBackToTheOlderWindowClasses) {
  FakeWindows desktop;
  desktop.Add(0, QStringLiteral("ThunderFormDC"), QStringLiteral("Another window"));
  const WindowHandle form = desktop.Add(0, QStringLiteral("ThunderFormDC"), kCaption);
  desktop.Add(form, QStringLiteral("ThunderRT6TextBox"));  // wrong generation: not taken
  const WindowHandle box = desktop.Add(form, QStringLiteral("ThunderTextBox"));
  EXPECT_EQ(qm::GetTextBoxHandle(kCaption, desktop), box);

  qm::RequestHostRefresh(desktop);
  ASSERT_EQ(desktop.sent.size(), 1u);
  EXPECT_EQ(desktop.sent[0].first, box);
  EXPECT_EQ(desktop.sent[0].second, QByteArray("RefreshFolderTreeview"));
  EXPECT_EQ(desktop.lastTimeout, 100);
}

TEST(RequestHostRefresh, SendsNothingWithoutTheHostsWindow) {
  FakeWindows desktop;
  desktop.Add(0, QStringLiteral("ThunderRT6FormDC"), QStringLiteral("QMShellCommunicator2005"));
  qm::RequestHostRefresh(desktop);
  EXPECT_TRUE(desktop.sent.empty());
}

// The real endpoint over a local socket, in a private folder.
class HostEndpoint : public ::testing::Test {
 protected:
  QTemporaryDir socketDir;
  qm::testing::ScopedEnv tmp{"TMPDIR", socketDir.path().toUtf8()};
};

TEST_F(HostEndpoint, ReceivesTheRefreshCommand) {
  qm::host::MessageEndpoint endpoint;
  ASSERT_TRUE(endpoint.Listen()) << endpoint.ErrorString().toStdString();
  QSignalSpy received(&endpoint, &qm::host::MessageEndpoint::CommandReceived);

  qm::RequestHostRefresh();
  qm::RequestHostRefresh();

  QDeadlineTimer deadline(60000);  // ends as soon as both are there
  while (received.size() < 2 && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  ASSERT_EQ(received.size(), 2);
  EXPECT_EQ(received[0][0].toString(), QStringLiteral("RefreshFolderTreeview"));
  EXPECT_EQ(received[1][0].toString(), QStringLiteral("RefreshFolderTreeview"));
}

// A stale socket file exists only where the message window is a socket.
#ifndef _WIN32
// Left out under Wine (a suite named *Posix gets the ctest label posix_only):
// the socket folder of the message endpoint.
using HostEndpointPosix = HostEndpoint;

TEST_F(HostEndpointPosix, AHostThatIsGoneIsNotAFailure) {
  // A socket file left behind by a host that crashed: found, but nobody
  // listens. The request must give up quietly and promptly.
  QFile stale(qm::platform::HostWindowSocketName(kCaption));
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.close();
  ASSERT_NE(qm::GetTextBoxHandle(kCaption), 0u);

  QDeadlineTimer generous(3000);
  qm::RequestHostRefresh();
  EXPECT_FALSE(generous.hasExpired());
}
#endif

TEST_F(HostEndpoint, NoHostNoHandle) { EXPECT_EQ(qm::GetTextBoxHandle(kCaption), 0u); }

}  // namespace
