// The real dialog for the window's tests: settings of the test's own, a
// stand-in host installed into a temporary folder where a test wants one,
// documents added to its default collection and read back, and the dialog
// opened with a journal of runs apart from the user's. A test that answers
// questions begins the script; the script and the dialog end with the test.
#pragma once

#include <QApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "common/test_environment.h"
#include "host/admin/host_admin.h"
#include "window/frm_main.h"
#include "window/user_dialogs.h"

namespace qm::testing {

class WindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    user_dialogs::EndScripted();
    window.reset();
  }

  // A host of that edition; documents go to its default collection.
  void InstallHost(hostadmin::HostEdition edition = hostadmin::HostEdition::English) {
    hostadmin::InstallHost(edition, installDir.path());
    collection = hostadmin::ListCollections().at(0).id;
  }

  // `count` documents in the folder of new documents, the number in place
  // of the title's %1, each with an address of its own.
  void AddDocuments(int count, const QString& title, const QString& comment = QString()) {
    std::vector<hostadmin::NewDocument> docs;
    for (int i = 0; i < count; ++i) {
      docs.push_back({400, title.arg(i), comment, QStringLiteral("https://example.org/%1").arg(i)});
    }
    hostadmin::AddDocuments(collection, docs);
  }

  // In EntryID order.
  QStringList Titles() const {
    QStringList titles;
    for (const auto& d : hostadmin::ListDocuments(collection)) {
      titles << d.title;
    }
    return titles;
  }

  int CountTitles(const QString& part) const {
    return static_cast<int>(Titles().filter(part).size());
  }

  // Not made before the first run needs it, as on a new user's machine.
  QString JournalFolder() const { return dataHome.path() + QStringLiteral("/QMReplace"); }

  // The dialog as the program shows it, and the active window: focus moves
  // (and leaves a box) only in the active window.
  void Open() {
    window = std::make_unique<frmMain>();
    window->SetJournalFolder(JournalFolder());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::setActiveWindow(window.get());
    ASSERT_EQ(QApplication::activeWindow(), window.get());
  }

  // A key as the user presses it: to whatever has the focus.
  static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  }

  // Does `action` and hands `user` the first modal window of that kind that
  // opens meanwhile (the command waits in it). False when none opened. The
  // window is looked for until it is there: a command lets pending events
  // through before it asks.
  template <typename Modal>
  static bool WhenModal(const std::function<void(Modal&)>& user,
                        const std::function<void()>& action) {
    bool opened = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget());
      if (modal == nullptr || !modal->isVisible()) {
        return;
      }
      poll.stop();
      opened = true;
      user(*modal);
    });
    poll.start();
    action();
    return opened;
  }

  ScopedConfigHome config;
  QTemporaryDir installDir;
  QTemporaryDir dataHome;
  std::int32_t collection = 0;
  std::unique_ptr<frmMain> window;
};

}  // namespace qm::testing
