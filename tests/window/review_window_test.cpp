// The review of a run through the real dialog and the real review window,
// offscreen, over real stand-in collections and a real journal: the way in,
// the keyboard, the filter, Apply and its undo, Cancel while the list is
// made, the remembered size and the German texts.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "startup/search_history.h"
#include "support/c_registry.h"
#include "window/review_model.h"
#include "window/review_size.h"
#include "window/review_window.h"
#include "window/window_fixture.h"

namespace {

using qm::ReviewWindow;
namespace admin = qm::hostadmin;
namespace dialogs = qm::user_dialogs;

class ReviewWindowTest : public qm::testing::WindowTest {
 protected:
  void SetUp() override { InstallHost(); }

  // The replacement is typed, as the user types it, and keeps the focus.
  void Criteria(const QString& search, const QString& replacement) {
    window->cboTextToSearch->setEditText(search);
    window->optReplace->click();
    window->txtTextToReplace->clear();
    QTest::keyClicks(window->txtTextToReplace, replacement);
  }

  // Presses Ctrl+R in the dialog and runs `user` once the review window is
  // open. False when none opened.
  bool Review(const std::function<void(ReviewWindow&)>& user) {
    return WhenModal<ReviewWindow>(
        [&](ReviewWindow& review) {
          QApplication::setActiveWindow(&review);
          user(review);
          if (review.isVisible()) {
            ADD_FAILURE() << "the review is still open";
            review.reject();
          }
        },
        [&] {
          // Offscreen, a closed dialog gives the activation back to nobody; a
          // window manager gives it to the dialog's owner.
          QApplication::setActiveWindow(window.get());
          Press(Qt::Key_R, Qt::ControlModifier);
        });
  }

  static void WaitUntilListed(ReviewWindow& review) {
    while (!review.Changes().Complete() || !review.Unchanged().Complete()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
  }
};

bool HasColor(const QImage& image, const QRect& area, QRgb color) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixel(x, y) == color) {
        return true;
      }
    }
  }
  return false;
}

TEST_F(ReviewWindowTest, KeyboardAloneLeavesThreeOutAppliesAndOneUndoRestoresTheRest) {
  AddDocuments(8, QStringLiteral("Item %1 - Example NEWS"));
  const QStringList before = Titles();
  Open();
  Criteria(QStringLiteral(" - example news"), QStringLiteral(" (read)"));
  dialogs::BeginScripted({true});
  ASSERT_TRUE(Review([](ReviewWindow& review) {
    WaitUntilListed(review);
    EXPECT_EQ(review.lblCriteria->text(),
              QStringLiteral("Replace ' - example news' with ' (read)' in the Title field."));
    EXPECT_EQ(review.lblCount->text(), QStringLiteral("8 of 8 documents will be changed."));
    EXPECT_FALSE(review.lstUnchanged->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), review.lstChanges);
    EXPECT_EQ(review.lstChanges->currentIndex().row(), 0);
    // What changes is marked in its colours in the first row.
    const QImage shot = review.lstChanges->viewport()->grab().toImage();
    const int y = review.lstChanges->rowViewportPosition(0);
    const int h = review.lstChanges->rowHeight(0);
    const auto cell = [&](int column) {
      return QRect(review.lstChanges->columnViewportPosition(column), y,
                   review.lstChanges->columnWidth(column), h)
          .intersected(shot.rect());
    };
    EXPECT_TRUE(HasColor(shot, cell(qm::ReviewModel::kBefore), qRgb(0xff, 0xd7, 0xd9)));
    EXPECT_TRUE(HasColor(shot, cell(qm::ReviewModel::kAfter), qRgb(0xc6, 0xef, 0xce)));
    EXPECT_FALSE(HasColor(shot, cell(qm::ReviewModel::kAfter), qRgb(0xff, 0xd7, 0xd9)));

    Press(Qt::Key_Down);  // row 1 alone
    Press(Qt::Key_Space);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down, Qt::ShiftModifier);  // rows 3 and 4 together
    Press(Qt::Key_Space);
    EXPECT_EQ(review.lblCount->text(), QStringLiteral("5 of 8 documents will be changed."));
    Press(Qt::Key_Return);  // Apply, the default button
  }));
  QStringList expected = before;
  for (int i : {0, 2, 5, 6, 7}) {
    expected[i] = QStringLiteral("Item %1 (read)").arg(i);
  }
  EXPECT_EQ(Titles(), expected);
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("5 documents updated!"));
  // The history, saved as Start saves it.
  EXPECT_EQ(qm::LoadSearchHistory(window->Installation().SettingsKey(), 0x0409),
            QStringList{" - example news"});
  EXPECT_TRUE(window->cmdStart->isEnabled());

  // The focus is back in the replacement box, where it was; the typing
  // there is older than the run, so Ctrl+Z takes back the run.
  QApplication::setActiveWindow(window.get());
  ASSERT_EQ(QApplication::focusWidget(), window->txtTextToReplace);
  Press(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(dialogs::ScriptedTranscript().size(), 1);
  EXPECT_TRUE(dialogs::ScriptedTranscript()[0].contains(QStringLiteral("It changed 5 documents")));
  EXPECT_EQ(Titles(), before);
  EXPECT_EQ(window->txtTextToReplace->text(), QStringLiteral(" (read)"));
}

TEST_F(ReviewWindowTest, TheFilterNarrowsTheListsAndCheckAllActsOnTheShownRowsOnly) {
  admin::AddDocuments(collection, {{400, "Alpha - x", {}, {}},
                                   {400, "Beta - x", {}, {}},
                                   {400, "alpha two - x", {}, {}},
                                   {400, "Gamma - x", {}, {}},
                                   {400, "100% - y", {}, {}},
                                   {400, "100 percent - y", {}, {}}});
  const QStringList before = Titles();
  Open();
  Criteria(QStringLiteral("100% - "), QStringLiteral("all - "));
  ASSERT_TRUE(Review([](ReviewWindow& review) {
    WaitUntilListed(review);
    EXPECT_EQ(review.Unchanged().rowCount(), 1);  // "100 percent" through the wildcard
    EXPECT_TRUE(review.lstUnchanged->isVisible());
    review.reject();
  }));
  EXPECT_EQ(Titles(), before);
  EXPECT_EQ(window->lblNotes->text(), QString());  // as after No

  Criteria(QStringLiteral(" - x"), QStringLiteral(" - z"));
  ASSERT_TRUE(Review([](ReviewWindow& review) {
    WaitUntilListed(review);
    Press(Qt::Key_F, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), review.txtFilter);
    QTest::keyClicks(review.txtFilter, QStringLiteral("ALPHA"));
    Press(Qt::Key_Return);  // filters at once, applies nothing
    ASSERT_TRUE(review.isVisible());
    WaitUntilListed(review);
    EXPECT_EQ(review.Changes().rowCount(), 2);
    EXPECT_EQ(review.lblShown->text(), QStringLiteral("2 shown"));
    // Uncheck all; a mnemonic clicks its button the way a click looks, a
    // moment later.
    Press(Qt::Key_U, Qt::AltModifier);
    const QString count = QStringLiteral("2 of 4 documents will be changed.");
    EXPECT_TRUE(QTest::qWaitFor([&] { return review.lblCount->text() == count; }))
        << review.lblCount->text().toStdString();

    review.txtFilter->clear();
    Press(Qt::Key_Return);
    WaitUntilListed(review);
    ASSERT_EQ(review.Changes().rowCount(), 4);
    QStringList checked;
    for (int row = 0; row < 4; ++row) {
      if (review.Changes().Checked(row)) {
        checked << review.Changes().index(row, 0).data().toString();
      }
    }
    EXPECT_EQ(checked, (QStringList{"Beta - x", "Gamma - x"}));
    // And the mouse: a click on Gamma's check box leaves it out too.
    QTableView& list = *review.lstChanges;
    QStyleOptionViewItem item;
    item.initFrom(&list);
    item.rect = list.visualRect(review.Changes().index(3, 0));
    item.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        list.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &item, &list);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
    EXPECT_EQ(review.lblCount->text(), QStringLiteral("1 of 4 documents will be changed."));
    review.cmdApply->click();
  }));
  QStringList expected = before;
  expected[1] = QStringLiteral("Beta - z");
  EXPECT_EQ(Titles(), expected);
}

TEST_F(ReviewWindowTest, CancelWhileTheListIsMadeChangesNothing) {
  AddDocuments(20000, QStringLiteral("Document %1 - Site"));
  Open();
  Criteria(QStringLiteral(" - Site"), QString());
  window->optRemove->click();
  dialogs::BeginScripted({true});
  bool stillListing = false;
  ASSERT_TRUE(Review([&](ReviewWindow& review) {
    stillListing = review.prgLooking->isVisible() && !review.cmdApply->isEnabled() &&
                   review.lblCount->text().startsWith(QStringLiteral("Looking at the documents: "));
    review.cmdCancel->click();
  }));
  EXPECT_TRUE(stillListing);
  EXPECT_EQ(Titles().filter(QStringLiteral(" - Site")).size(), 20000);
  EXPECT_EQ(window->lblNotes->text(), QString());
  EXPECT_TRUE(window->cmdStart->isEnabled());
  EXPECT_EQ(window->cmdExit->text(), QStringLiteral("Exit"));
  QApplication::setActiveWindow(window.get());
  window->cmdStart->setFocus();
  Press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("There is no run to undo."));
}

TEST_F(ReviewWindowTest, TheWayInChecksTheInputAndTheSizeIsKeptInTheSettingsKey) {
  AddDocuments(3, QStringLiteral("Item %1 - Site"));
  Open();
  QAction* action = window->findChild<QAction*>(QStringLiteral("actReviewChanges"));
  ASSERT_NE(action, nullptr);
  EXPECT_TRUE(window->actions().contains(action));  // the context menu
  EXPECT_EQ(action->text(), QStringLiteral("Review changes..."));
  EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));

  window->optRemove->click();
  window->cboTextToSearch->setEditText(QString());
  EXPECT_FALSE(Review([](ReviewWindow&) {}));
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("Please type a search string."));

  const QString key = window->Installation().SettingsKey();
  window->cboTextToSearch->setEditText(QStringLiteral(" - Site"));
  ASSERT_TRUE(Review([](ReviewWindow& review) {
    review.resize(701, 452);
    Press(Qt::Key_Escape);
  }));
  EXPECT_EQ(qm::LoadReviewSize(key), QSize(701, 452));
  ASSERT_TRUE(Review([](ReviewWindow& review) {
    EXPECT_EQ(review.size(), QSize(701, 452));
    review.reject();
  }));
  EXPECT_EQ(Titles().filter(QStringLiteral(" - Site")).size(), 3);
}

// Values someone else wrote into the settings key never size the window.
TEST(ReviewSize, OnlyTwoWholeNumbersAWindowCanHaveAreASize) {
  qm::testing::ScopedConfigHome config;
  const QString key = QStringLiteral("Software\\QMReplace tests\\Review");
  const auto store = [&key](const char* name, std::uint32_t type, const QVariant& value) {
    qm::cRegistry registry;
    registry.SetClassKey(static_cast<std::int32_t>(qm::platform::reg::kCurrentUser));
    registry.SetSectionKey(key);
    registry.SetValueKey(QLatin1String(name));
    registry.SetValueType(static_cast<std::int32_t>(type));
    registry.SetValue(value);
  };
  EXPECT_FALSE(qm::LoadReviewSize(key).isValid());  // nothing stored
  qm::SaveReviewSize(key, QSize(640, 400));
  EXPECT_EQ(qm::LoadReviewSize(key), QSize(640, 400));
  struct Case {
    const char* name;
    std::uint32_t type;
    QVariant width;
  };
  const Case cases[] = {
      {"a text", qm::platform::reg::kSz, QStringLiteral("640")},
      {"zero", qm::platform::reg::kDword, 0},
      {"negative", qm::platform::reg::kDword, -640},
      {"beyond Qt's limit", qm::platform::reg::kDword, 40000},
  };
  for (const Case& c : cases) {
    store(qm::kReviewWidthValue, c.type, c.width);
    EXPECT_FALSE(qm::LoadReviewSize(key).isValid()) << c.name;
  }
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Export... (Alt+E) writes the list as the review shows it, a row's check box
// its state, to the file the user picks; a file that cannot be written is
// reported, and the review stays as it was, Apply and all.
TEST_F(ReviewWindowTest, ExportWritesTheListAsShownAndReportsAFileItCannotWrite) {
  // The last one is found only through the wildcards of the search text.
  AddDocuments(2, QStringLiteral("Item %1, \"Example\" 50%_off"));
  AddDocuments(1, QStringLiteral("Item 5%1 percent"));
  Open();
  Criteria(QStringLiteral("50%_"), QString::fromUtf8("Ü"));
  QTemporaryDir target;
  const QString path = target.filePath(QStringLiteral("list.csv"));
  dialogs::BeginScripted();
  ASSERT_TRUE(Review([&](ReviewWindow& review) {
    QStringList asked;
    QString answer = path;
    review.SetFileChooser([&](QWidget* parent, const QString& title, const QString& suggested,
                              const QString& filter) {
      EXPECT_EQ(parent, &review);
      asked << title + " | " + QFileInfo(suggested).fileName() + " | " + filter;
      return answer;
    });
    WaitUntilListed(review);
    ASSERT_TRUE(review.cmdExport->isEnabled());
    EXPECT_EQ(review.cmdExport->text(), QStringLiteral("&Export..."));
    review.Changes().SetChecked(1, 1, false);
    Press(Qt::Key_E, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked.size() == 1; }));
    EXPECT_EQ(asked[0], QStringLiteral("Export the list | changes.csv | CSV files (*.csv)"));
    const auto ids = admin::ListDocuments(collection);
    const auto id = [&](std::size_t i) {
      return QByteArray::number(static_cast<qlonglong>(ids.at(ids.size() - 3 + i).entryId));
    };
    const auto item = [](const char* n, const char* end) {
      return QByteArray("\"Item ") + n + ", \"\"Example\"\" " + end + "\"";
    };
    EXPECT_EQ(ReadFile(path),
              "\xEF\xBB\xBF"
              "ID,Title,Field,Before,After,State\r\n" +
                  id(0) + "," + item("0", "50%_off") + ",Title," + item("0", "50%_off") + "," +
                  item("0",
                       "\xC3\x9C"
                       "off") +
                  ",checked\r\n" + id(1) + "," + item("1", "50%_off") + ",Title," +
                  item("1", "50%_off") + "," +
                  item("1",
                       "\xC3\x9C"
                       "off") +
                  ",unchecked\r\n" + id(2) +
                  ",Item 50 percent,Title,Item 50 percent,Item 50 percent,"
                  "left as it is\r\n");

    answer = target.filePath(QStringLiteral("gone/list.csv"));
    review.cmdExport->click();
    ASSERT_EQ(asked.size(), 2);
    const QStringList transcript = dialogs::ScriptedTranscript();
    ASSERT_EQ(transcript.size(), 1);
    EXPECT_TRUE(transcript[0].contains(QStringLiteral("The file ") +
                                       QDir::toNativeSeparators(answer) +
                                       QStringLiteral(" could not be written: ")))
        << transcript[0].toStdString();
    EXPECT_TRUE(review.isVisible());
    EXPECT_TRUE(review.cmdApply->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    review.reject();
  }));
}

TEST_F(ReviewWindowTest, GermanUsersGetGermanTexts) {
  AddDocuments(2, QStringLiteral("Bericht %1 - Druckversion"));
  qm::testing::ScopedEnv lang("LANG", "de_DE.UTF-8");
  Open();
  EXPECT_EQ(window->findChild<QAction*>(QStringLiteral("actReviewChanges"))->text(),
            QString::fromUtf8("Änderungen prüfen..."));
  Criteria(QStringLiteral(" - Druckversion"), QString());
  window->optRemove->click();
  ASSERT_TRUE(Review([](ReviewWindow& review) {
    WaitUntilListed(review);
    EXPECT_EQ(review.windowTitle(), QString::fromUtf8("Änderungen prüfen"));
    EXPECT_EQ(review.lblCriteria->text(),
              QStringLiteral("Im Feld 'Titel': ' - Druckversion' entfernen."));
    EXPECT_EQ(review.lblCount->text(), QStringLiteral("2 von 2 Dokumenten werden geändert."));
    EXPECT_EQ(
        review.Changes().headerData(qm::ReviewModel::kBefore, Qt::Horizontal, Qt::DisplayRole),
        QStringLiteral("Vorher"));
    EXPECT_EQ(review.cmdApply->text(), QStringLiteral("&Anwenden"));
    EXPECT_EQ(review.cmdExport->text(), QStringLiteral("E&xportieren..."));
    review.cmdApply->click();
  }));
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("2 Dokumente aktualisiert!"));
}

}  // namespace
