// cTooltips on real controls: the tooltip window it makes, the tools it
// registers, and what the shown tip says, in which colours and how wide.
#include "support/c_tooltips.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QToolTip>
#include <QWidget>

#include <gtest/gtest.h>

#include "common/tooltip_form.h"

namespace qm {
namespace {

namespace tip = platform::tip;
using testing::HandleOf;

QColor FromColorRef(std::uint32_t color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

class TooltipsTest : public testing::TooltipForm {
 protected:
  // The window behind hwnd; only ever a tooltip window made by the class.
  QWidget* Bubble() const { return QWidget::find(static_cast<WId>(tips_.hwnd())); }

  QString Shown(const char* part) const {
    const QLabel* label = Bubble()->findChild<QLabel*>(QString::fromLatin1(part));
    return label != nullptr && label->isVisibleTo(Bubble()) ? label->text() : QString();
  }
};

TEST_F(TooltipsTest, BeforeCreateEveryMemberDoesNothingAndReadsAsEmpty) {
  const int windowsBefore = QApplication::topLevelWidgets().size();
  ExpectNothingBeforeCreate();
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);

  // Enabled set before Create does not survive it.
  ASSERT_TRUE(tips_.Create(*form_));
  EXPECT_TRUE(tips_.Enabled());
}

TEST_F(TooltipsTest, CreateMakesAHiddenTopLevelTipWindowThatAnEndingInstanceDestroys) {
  QPointer<QWidget> first;
  {
    cTooltips tips;
    ASSERT_TRUE(tips.Create(*form_));
    first = QWidget::find(static_cast<WId>(tips.hwnd()));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isWindow());
    EXPECT_EQ(first->windowType(), Qt::ToolTip);
    EXPECT_FALSE(first->isVisible());
    ASSERT_TRUE(tips.AddTool(HandleOf(*save_), 0, QStringLiteral("Save")));
    ASSERT_TRUE(tips.SetTitle(QStringLiteral("Hint")));
    ASSERT_TRUE(tips.SetIcon(1));

    // A second Create replaces the window, its tools, title and icon.
    ASSERT_TRUE(tips.Create(*form_));
    EXPECT_EQ(first, nullptr);
    first = QWidget::find(static_cast<WId>(tips.hwnd()));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(tips.ToolCount(), 0);
    EXPECT_TRUE(tips.Title().isEmpty());
    EXPECT_EQ(tips.Icon(), 0);
  }
  EXPECT_EQ(first, nullptr);
}

TEST_F(TooltipsTest, ToolsAreAddedOncePerControlAndRemovedOnce) {
  ASSERT_TRUE(tips_.Create(*form_));
  EXPECT_TRUE(tips_.AddTool(HandleOf(*save_), 0, QStringLiteral("Save")));
  EXPECT_FALSE(tips_.AddTool(HandleOf(*save_), 0, QStringLiteral("Again")));
  EXPECT_TRUE(tips_.AddTool(HandleOf(*name_)));  // without text
  EXPECT_EQ(tips_.ToolCount(), 2);

  EXPECT_FALSE(tips_.AddTool(0, 0, QStringLiteral("none")));
  EXPECT_FALSE(tips_.AddTool(0xDEAD, 0, QStringLiteral("no such window")));
  EXPECT_EQ(tips_.ToolCount(), 2);

  EXPECT_TRUE(tips_.DeleteTool(*save_));
  EXPECT_FALSE(tips_.DeleteTool(*save_));
  EXPECT_EQ(tips_.ToolCount(), 1);
  EXPECT_FALSE(tips_.SetTipText(HandleOf(*save_), QStringLiteral("gone")));
  EXPECT_FALSE(tips_.SetToolRect(*save_, 0, 0, 5, 5));
  EXPECT_FALSE(tips_.SetTracking(HandleOf(*save_), true));

  // A tool goes with its control.
  delete name_;
  EXPECT_EQ(tips_.ToolCount(), 0);
}

TEST_F(TooltipsTest, TrackingShowsTheToolsTextWhereItIsTold) {
  ShowSaveTip(QStringLiteral("Saves the document"));
  QWidget* bubble = Bubble();
  ASSERT_NE(bubble, nullptr);
  EXPECT_TRUE(bubble->isVisible());
  EXPECT_EQ(Shown("text"), QStringLiteral("Saves the document"));
  EXPECT_EQ(bubble->pos(), QPoint(40, 50));

  // Positions are signed 16-bit; anything wider is refused.
  EXPECT_TRUE(tips_.SetTrackPosition(HandleOf(*save_), -5, 7));
  EXPECT_EQ(bubble->pos(), QPoint(-5, 7));
  EXPECT_FALSE(tips_.SetTrackPosition(HandleOf(*save_), 40000, 7));
  EXPECT_EQ(bubble->pos(), QPoint(-5, 7));

  EXPECT_TRUE(tips_.SetTipText(HandleOf(*save_), QStringLiteral("Saved")));
  EXPECT_EQ(Shown("text"), QStringLiteral("Saved"));
  EXPECT_FALSE(tips_.SetTipText(HandleOf(*save_), QString()));
  EXPECT_EQ(Shown("text"), QStringLiteral("Saved"));

  EXPECT_TRUE(tips_.SetTracking(HandleOf(*save_), false));
  EXPECT_FALSE(bubble->isVisible());
}

TEST_F(TooltipsTest, ATipIsGoneWithItsToolItsControlOrWhenHiddenOrDisabled) {
  ShowSaveTip(QStringLiteral("Save"));
  QWidget* bubble = Bubble();
  EXPECT_TRUE(tips_.HideTips());
  EXPECT_FALSE(bubble->isVisible());

  ASSERT_TRUE(tips_.SetTrackPosition(HandleOf(*save_), 40, 50));
  ASSERT_TRUE(bubble->isVisible());
  EXPECT_TRUE(tips_.SetEnabled(false));
  EXPECT_FALSE(bubble->isVisible());
  EXPECT_FALSE(tips_.Enabled());
  ASSERT_TRUE(tips_.SetTrackPosition(HandleOf(*save_), 40, 60));
  EXPECT_FALSE(bubble->isVisible());
  EXPECT_TRUE(tips_.SetEnabled(true));
  EXPECT_TRUE(bubble->isVisible());

  EXPECT_TRUE(tips_.DeleteTool(*save_));
  EXPECT_FALSE(bubble->isVisible());

  ASSERT_TRUE(tips_.AddTool(HandleOf(*name_), tip::kTrack, QStringLiteral("Name")));
  ASSERT_TRUE(tips_.SetTracking(HandleOf(*name_), true));
  ASSERT_TRUE(bubble->isVisible());
  delete name_;
  EXPECT_FALSE(bubble->isVisible());
}

TEST_F(TooltipsTest, AToolWithoutTextIsRegisteredButNeverShown) {
  ASSERT_TRUE(tips_.Create(*form_));
  ASSERT_TRUE(tips_.AddTool(HandleOf(*save_), tip::kTrack));
  EXPECT_EQ(tips_.ToolCount(), 1);
  ASSERT_TRUE(tips_.SetTracking(HandleOf(*save_), true));
  EXPECT_FALSE(Bubble()->isVisible());
  EXPECT_GT(tips_.GetTooltipWidth(*save_), 0);  // frame and padding only
}

TEST_F(TooltipsTest, HoveringAControlShowsItsTipAfterTheInitialDelay) {
  ASSERT_TRUE(tips_.Create(*form_));
  ASSERT_TRUE(tips_.AddTool(HandleOf(*name_), 0, QStringLiteral("Your name")));
  ASSERT_TRUE(tips_.SetDelayTime(tip::kDelayInitial, 30));
  QEnterEvent enter(QPointF(5, 5), QPointF(15, 65), QPointF(15, 65));
  QCoreApplication::sendEvent(name_, &enter);
  EXPECT_FALSE(Bubble()->isVisible());  // not before the delay
  QTRY_VERIFY_WITH_TIMEOUT(Bubble()->isVisible(), 3000);
  EXPECT_EQ(Shown("text"), QStringLiteral("Your name"));
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(name_, &leave);
  EXPECT_FALSE(Bubble()->isVisible());
}

TEST_F(TooltipsTest, AHoveredTipPopsAfterItsTimeButATrackedOneStays) {
  ASSERT_TRUE(tips_.Create(*form_));
  ASSERT_TRUE(tips_.AddTool(HandleOf(*name_), 0, QStringLiteral("Your name")));
  ASSERT_TRUE(tips_.SetDelayTime(tip::kDelayInitial, 0));
  ASSERT_TRUE(tips_.SetDelayTime(tip::kDelayAutoPop, 150));
  QEnterEvent enter(QPointF(5, 5), QPointF(15, 65), QPointF(15, 65));
  QCoreApplication::sendEvent(name_, &enter);
  QTRY_VERIFY_WITH_TIMEOUT(Bubble()->isVisible(), 3000);
  QTRY_VERIFY_WITH_TIMEOUT(!Bubble()->isVisible(), 3000);

  ASSERT_TRUE(tips_.AddTool(HandleOf(*save_), tip::kTrack, QStringLiteral("Save")));
  ASSERT_TRUE(tips_.SetTracking(HandleOf(*save_), true));
  QTest::qWait(400);
  EXPECT_TRUE(Bubble()->isVisible());
  EXPECT_EQ(Shown("text"), QStringLiteral("Save"));
}

TEST_F(TooltipsTest, DelayTimesAreSetByKindAndAutomaticallyAndRefusedOutOfRange) {
  ASSERT_TRUE(tips_.Create(*form_));
  EXPECT_TRUE(tips_.SetDelayTime(tip::kDelayAutomatic, 200));
  EXPECT_EQ(tips_.GetDelayTime(tip::kDelayInitial), 200);
  EXPECT_EQ(tips_.GetDelayTime(tip::kDelayAutoPop), 2000);
  EXPECT_EQ(tips_.GetDelayTime(tip::kDelayReshow), 40);
  EXPECT_TRUE(tips_.SetDelayTime(tip::kDelayAutoPop, 7000));
  EXPECT_EQ(tips_.GetDelayTime(tip::kDelayAutoPop), 7000);
  EXPECT_EQ(tips_.GetDelayTime(tip::kDelayInitial), 200);

  EXPECT_FALSE(tips_.SetDelayTime(tip::kDelayAutoPop, 40000));
  EXPECT_FALSE(tips_.SetDelayTime(tip::kDelayAutoPop, -2));
  EXPECT_FALSE(tips_.SetDelayTime(4, 100));
  EXPECT_EQ(tips_.GetDelayTime(tip::kDelayAutoPop), 7000);

  EXPECT_TRUE(tips_.SetDelayTime(tip::kDelayInitial, -1));  // back to the default
  EXPECT_EQ(tips_.GetDelayTime(tip::kDelayInitial), QApplication::doubleClickInterval());
}

TEST_F(TooltipsTest, TitleAndIconAreShownAndKeptOnlyWhenTaken) {
  ShowSaveTip(QStringLiteral("Save"));
  EXPECT_TRUE(tips_.SetTitle(QStringLiteral("Hint")));
  EXPECT_EQ(Shown("title"), QStringLiteral("Hint"));
  EXPECT_TRUE(Shown("icon").isEmpty());
  const QLabel* icon = Bubble()->findChild<QLabel*>(QStringLiteral("icon"));
  EXPECT_FALSE(icon->isVisibleTo(Bubble()));

  EXPECT_TRUE(tips_.SetIcon(2));
  EXPECT_EQ(tips_.Icon(), 2);
  EXPECT_TRUE(icon->isVisibleTo(Bubble()));
  EXPECT_EQ(Shown("title"), QStringLiteral("Hint"));

  EXPECT_FALSE(tips_.SetIcon(7));
  EXPECT_FALSE(tips_.SetIcon(-1));
  EXPECT_EQ(tips_.Icon(), 2);
  EXPECT_FALSE(tips_.SetTitle(QString(100, QLatin1Char('x'))));
  EXPECT_TRUE(tips_.SetTitle(QString(99, QLatin1Char('x'))));
  EXPECT_EQ(tips_.Title().size(), 99);

  EXPECT_TRUE(tips_.SetTitle(QString()));
  EXPECT_TRUE(Shown("title").isEmpty());
  EXPECT_EQ(Shown("text"), QStringLiteral("Save"));
}

TEST_F(TooltipsTest, ColoursAreRgbOrSystemColoursAndPaintTheTip) {
  ShowSaveTip(QStringLiteral("Save"));
  EXPECT_TRUE(tips_.SetBackColor(0x00FFFFFF));
  EXPECT_EQ(tips_.BackColor(), 0x00FFFFFFu);
  EXPECT_TRUE(tips_.SetForeColor(0x000000FF));  // red, as 0x00BBGGRR
  EXPECT_EQ(Bubble()->palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_EQ(Bubble()->palette().color(QPalette::WindowText), QColor(Qt::red));

  // 0x80000018 is system colour 24, the tooltip background.
  EXPECT_TRUE(tips_.SetBackColor(0x80000018));
  const QColor infoBackground = QGuiApplication::palette().color(QPalette::ToolTipBase);
  EXPECT_EQ(FromColorRef(tips_.BackColor()), infoBackground);
  EXPECT_EQ(Bubble()->palette().color(QPalette::Window), infoBackground);

  for (std::uint32_t bad : {0x80000019u, 0x800000FFu, 0x01000000u, 0xFF123456u}) {
    EXPECT_FALSE(tips_.SetBackColor(bad)) << std::hex << bad;
    EXPECT_FALSE(tips_.SetForeColor(bad)) << std::hex << bad;
  }
  EXPECT_EQ(FromColorRef(tips_.BackColor()), infoBackground);
  EXPECT_EQ(tips_.ForeColor(), 0x000000FFu);
}

TEST_F(TooltipsTest, OneMarginChangesAloneAndMovesTheText) {
  ShowSaveTip(QStringLiteral("Save"));
  ASSERT_TRUE(tips_.SetMarginLeft(2));
  ASSERT_TRUE(tips_.SetMarginRight(3));
  ASSERT_TRUE(tips_.SetMarginBottom(4));
  const int widthBefore = Bubble()->width();
  const int heightBefore = Bubble()->height();
  const QLabel* text = Bubble()->findChild<QLabel*>(QStringLiteral("text"));
  const int topBefore = text->y();

  EXPECT_TRUE(tips_.SetMarginTop(5));
  EXPECT_EQ(tips_.MarginTop(), 5);
  EXPECT_EQ(tips_.MarginLeft(), 2);
  EXPECT_EQ(tips_.MarginRight(), 3);
  EXPECT_EQ(tips_.MarginBottom(), 4);
  EXPECT_EQ(text->y(), topBefore + 5);
  EXPECT_EQ(Bubble()->height(), heightBefore + 5);
  EXPECT_EQ(Bubble()->width(), widthBefore);

  EXPECT_FALSE(tips_.SetMarginLeft(-1));
  EXPECT_FALSE(tips_.SetMarginLeft(40000));
  EXPECT_EQ(tips_.MarginLeft(), 2);
}

TEST_F(TooltipsTest, MaxTipWidthWrapsTheTextWithinIt) {
  const QString longText = QStringLiteral("Saves every document of the folder and its subfolders");
  ShowSaveTip(longText);
  EXPECT_EQ(tips_.MaxTipWidth(), -1);
  const int oneLineHeight = Bubble()->height();
  const int oneLineWidth = Bubble()->width();

  EXPECT_TRUE(tips_.SetMaxTipWidth(120));
  EXPECT_EQ(tips_.MaxTipWidth(), 120);
  const QLabel* text = Bubble()->findChild<QLabel*>(QStringLiteral("text"));
  EXPECT_LE(text->width(), 120);
  EXPECT_LT(Bubble()->width(), oneLineWidth);
  EXPECT_GT(Bubble()->height(), oneLineHeight);
  EXPECT_EQ(Bubble()->width(), tips_.GetTooltipWidth(*save_));
  EXPECT_EQ(Bubble()->height(), tips_.GetTooltipHeight(*save_));

  EXPECT_FALSE(tips_.SetMaxTipWidth(-2));
  EXPECT_EQ(tips_.MaxTipWidth(), 120);
}

TEST_F(TooltipsTest, SizeConversionsAgreeWithTheShownBubble) {
  const QString text = QStringLiteral("Include subfolders");
  ShowSaveTip(text);
  ASSERT_TRUE(tips_.SetMarginLeft(6));
  ASSERT_TRUE(tips_.SetMarginBottom(3));
  QLabel probe(form_.get());
  probe.setFont(QToolTip::font());
  const platform::DeviceContext dc(probe);

  const int width = tips_.ToolTipWidthFromText(dc.handle(), text);
  const int height = tips_.ToolTipHeightFromText(dc.handle(), text);
  EXPECT_EQ(width, Bubble()->width());
  EXPECT_EQ(height, Bubble()->height());
  EXPECT_EQ(tips_.GetTooltipWidth(*save_), width);
  EXPECT_EQ(tips_.GetTooltipHeight(*save_), height);

  const QSize textSize = QFontMetrics(QToolTip::font()).size(Qt::TextSingleLine, text);
  EXPECT_EQ(tips_.TextWidthFromToolTipWidth(dc.handle(), width), textSize.width());
  EXPECT_EQ(tips_.TextHeightFromToolTipHeight(dc.handle(), height), textSize.height());

  EXPECT_EQ(tips_.ToolTipWidthFromText(dc.handle(), QString()), 0);
  EXPECT_EQ(tips_.ToolTipWidthFromText(0xDEAD, text), 0);
  EXPECT_EQ(tips_.TextWidthFromToolTipWidth(dc.handle(), -1), 0);
  EXPECT_EQ(tips_.GetTooltipWidth(*name_), 0);  // no tool
}

TEST_F(TooltipsTest, HitTestAndToolRectAnswerForTheControlsTool) {
  ASSERT_TRUE(tips_.Create(*form_));
  ASSERT_TRUE(tips_.AddTool(HandleOf(*save_), 0, QStringLiteral("Save")));
  EXPECT_TRUE(tips_.HitTest(*save_, 5, 5));
  EXPECT_FALSE(tips_.HitTest(*save_, 150, 5));
  EXPECT_FALSE(tips_.HitTest(*name_, 5, 5));

  EXPECT_TRUE(tips_.SetToolRect(*save_, 0, 0, 50, 20));
  EXPECT_FALSE(tips_.SetToolRect(*save_, 50, 0, 0, 20));
  EXPECT_FALSE(tips_.SetToolRect(*name_, 0, 0, 50, 20));
}

TEST(TooltipsMakeLong, PacksTwoSixteenBitHalves) {
  EXPECT_EQ(cTooltips::MAKELONG(1, 2), 0x00020001);
  EXPECT_EQ(cTooltips::MAKELONG(-1, -2), static_cast<std::int32_t>(0xFFFEFFFFu));
  EXPECT_EQ(cTooltips::MAKELONG(0x12345, 0), 0x2345);
}

TEST_F(TooltipsTest, AFormThatGoesFirstTakesTheTipWindowWithoutHarm) {
  ShowSaveTip(QStringLiteral("Save"));
  form_.reset();
  EXPECT_EQ(Bubble(), nullptr);
  EXPECT_EQ(tips_.ToolCount(), 0);
  EXPECT_TRUE(tips_.SetTitle(QStringLiteral("still answers")));
}

}  // namespace
}  // namespace qm
