// The refresh request against real windows: the tool finds the host's window
// with FindWindowExA and puts the command into its text box with
// SendMessageTimeoutA, trying the newer window classes first.
#include <QByteArray>
#include <QStringList>

#include <gtest/gtest.h>

#include "host/lib/message_endpoint.h"
#include "platform/host_window.h"
#include "platform/message_window.h"
#include "window/host_messaging.h"

namespace qm {
namespace {

constexpr char kCaption[] = "QMShellCommunicator2006";

struct Received {
  QStringList texts;
  platform::MessageWindow::Receiver receiver() {
    return [this](const QByteArray& text) { texts.append(QString::fromLatin1(text)); };
  }
};

TEST(Win32HostWindow, RefreshReachesTheNewerWindowsTextBox) {
  Received host;
  platform::MessageWindow window(kCaption, host.receiver());
  ASSERT_NE(window.textBox(), 0u);
  EXPECT_EQ(GetTextBoxHandle(kCaption), window.textBox());
  RequestHostRefresh();
  EXPECT_EQ(host.texts, QStringList{QStringLiteral("RefreshFolderTreeview")});
}

TEST(Win32HostWindow, OlderWindowClassesAreTheFallback) {
  Received older;
  platform::MessageWindow window(kCaption, older.receiver(), QStringLiteral("ThunderFormDC"),
                                 QStringLiteral("ThunderTextBox"));
  EXPECT_EQ(GetTextBoxHandle(kCaption), window.textBox());
  RequestHostRefresh();
  EXPECT_EQ(older.texts, QStringList{QStringLiteral("RefreshFolderTreeview")});
}

TEST(Win32HostWindow, ANewerWindowWithoutTextBoxHidesTheOlderOne) {
  Received older;
  Received newer;
  platform::MessageWindow olderWindow(kCaption, older.receiver(), QStringLiteral("ThunderFormDC"),
                                      QStringLiteral("ThunderTextBox"));
  platform::MessageWindow newerWindow(kCaption, newer.receiver(),
                                      QStringLiteral("ThunderRT6FormDC"), QString());
  EXPECT_EQ(GetTextBoxHandle(kCaption), 0u);
  RequestHostRefresh();
  EXPECT_TRUE(older.texts.isEmpty());
  EXPECT_TRUE(newer.texts.isEmpty());
}

TEST(Win32HostWindow, TheStandInHostsEndpointIsSuchAWindow) {
  host::MessageEndpoint endpoint;
  QStringList commands;
  QObject::connect(&endpoint, &host::MessageEndpoint::CommandReceived,
                   [&](const QString& command) { commands.append(command); });
  ASSERT_TRUE(endpoint.Listen()) << endpoint.ErrorString().toStdString();
  const platform::WindowHandle form = platform::SystemWindows().FindWindowEx(
      0, 0, QString::fromLatin1(platform::kHostFormClass), kCaption);
  ASSERT_NE(form, 0u);
  EXPECT_NE(platform::SystemWindows().FindWindowEx(
                form, 0, QString::fromLatin1(platform::kHostTextBoxClass), QString()),
            0u);
  RequestHostRefresh();
  EXPECT_EQ(commands, QStringList{QStringLiteral("RefreshFolderTreeview")});
}

}  // namespace
}  // namespace qm
