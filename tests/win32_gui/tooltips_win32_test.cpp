// cTooltips on Windows: every member seen in the real common-controls
// tooltip window it made, read back with the window's own messages and the
// window manager's answers rather than through the class itself.
// Before windows.h: the class has a member named like one of its macros.
#include "support/c_tooltips.h"

#include "common/tooltip_form.h"

#include <windows.h>

#include <commctrl.h>

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>

namespace qm {
namespace {

namespace tip = platform::tip;
using platform::WindowHandle;
using testing::HandleOf;

HWND Hwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

QString ClassOf(HWND window) {
  std::array<char, 64> name{};
  const int length = GetClassNameA(window, name.data(), static_cast<int>(name.size()));
  return QString::fromLatin1(name.data(), length);
}

// What the tooltip window itself holds, asked with its messages.
class TipWindow {
 public:
  explicit TipWindow(WindowHandle handle) : window_(Hwnd(handle)) {}

  int ToolCount() const { return static_cast<int>(SendMessageA(window_, TTM_GETTOOLCOUNT, 0, 0)); }

  // The tool registered for the control and its text; false when none is.
  bool Tool(const QWidget& control, TTTOOLINFOA& info, QString& text) const {
    for (int index = 0; index < ToolCount(); ++index) {
      std::array<char, 512> buffer{};
      info = TTTOOLINFOA{};
      info.cbSize = sizeof(info);
      info.lpszText = buffer.data();
      if (SendMessageA(window_, TTM_ENUMTOOLSA, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&info)) != 0 &&
          info.uId == static_cast<UINT_PTR>(control.winId())) {
        text = QString::fromLatin1(buffer.data());
        return true;
      }
    }
    return false;
  }

  QString Text(const QWidget& control) const {
    TTTOOLINFOA info{};
    QString text;
    return Tool(control, info, text) ? text : QStringLiteral("<no tool>");
  }

  COLORREF Background() const {
    return static_cast<COLORREF>(SendMessageA(window_, TTM_GETTIPBKCOLOR, 0, 0));
  }
  COLORREF Foreground() const {
    return static_cast<COLORREF>(SendMessageA(window_, TTM_GETTIPTEXTCOLOR, 0, 0));
  }
  int MaxWidth() const { return static_cast<int>(SendMessageA(window_, TTM_GETMAXTIPWIDTH, 0, 0)); }
  int Delay(int kind) const {
    return static_cast<int>(SendMessageA(window_, TTM_GETDELAYTIME, kind, 0));
  }

  RECT Margin() const {
    RECT margin{};
    SendMessageA(window_, TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    return margin;
  }

  bool Visible() const { return IsWindowVisible(window_) != 0; }

  RECT Frame() const {
    RECT frame{};
    GetWindowRect(window_, &frame);
    return frame;
  }

  // The client area in screen coordinates: the bubble inside the border.
  RECT Client() const {
    RECT client{};
    GetClientRect(window_, &client);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
  }

  // True when the bubble's top left is the point, with or without the
  // border: systems differ in which of the two they put there.
  bool At(int x, int y) const {
    const RECT frame = Frame();
    const RECT client = Client();
    return (frame.left == x && frame.top == y) || (client.left == x && client.top == y);
  }

  // True when the size the window reports for its bubble is the size shown,
  // with or without the border.
  bool Measures(int width, int height) const {
    const RECT frame = Frame();
    const RECT client = Client();
    return (frame.right - frame.left == width && frame.bottom - frame.top == height) ||
           (client.right - client.left == width && client.bottom - client.top == height);
  }

  int Width() const { return Frame().right - Frame().left; }
  int Height() const { return Frame().bottom - Frame().top; }

 private:
  HWND window_;
};

class Win32Tooltips : public testing::TooltipForm {
 protected:
  TipWindow Tips() const { return TipWindow(tips_.hwnd()); }
};

// Counts the tooltip windows a form owns, however they were made.
int TipWindowsOwnedBy(const QWidget& form) {
  struct Search {
    HWND owner;
    int count;
  } search{Hwnd(HandleOf(form)), 0};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (GetWindow(window, GW_OWNER) == s->owner &&
            ClassOf(window) == QLatin1String(TOOLTIPS_CLASSA)) {
          ++s->count;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.count;
}

TEST_F(Win32Tooltips, NothingIsCreatedOrSentBeforeCreate) {
  ExpectNothingBeforeCreate();
  EXPECT_EQ(TipWindowsOwnedBy(*form_), 0);
}

TEST_F(Win32Tooltips, CreateMakesATopmostHiddenTooltipWindowOwnedByTheForm) {
  WindowHandle first = 0;
  {
    cTooltips tips;
    ASSERT_TRUE(tips.Create(*form_, tip::kAlwaysTip | tip::kNoPrefix));
    first = tips.hwnd();
    HWND window = Hwnd(first);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(ClassOf(window), QLatin1String("tooltips_class32"));
    EXPECT_EQ(GetWindow(window, GW_OWNER), Hwnd(HandleOf(*form_)));
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX),
              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX);
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(TipWindowsOwnedBy(*form_), 1);

    // A second Create replaces the window; the first is destroyed.
    ASSERT_TRUE(tips.AddTool(HandleOf(*save_), 0, QStringLiteral("Save")));
    ASSERT_TRUE(tips.Create(*form_));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TipWindowsOwnedBy(*form_), 1);
    EXPECT_EQ(TipWindow(tips.hwnd()).ToolCount(), 0);
    first = tips.hwnd();
  }
  EXPECT_FALSE(IsWindow(Hwnd(first)));
  EXPECT_EQ(TipWindowsOwnedBy(*form_), 0);
}

TEST_F(Win32Tooltips, ToolsLiveInTheWindowKeyedByTheControlsHandle) {
  ASSERT_TRUE(tips_.Create(*form_));
  EXPECT_TRUE(tips_.AddTool(HandleOf(*save_), 0, QStringLiteral("Saves the document")));
  EXPECT_FALSE(tips_.AddTool(HandleOf(*save_), 0, QStringLiteral("Again")));
  EXPECT_TRUE(tips_.AddTool(HandleOf(*name_)));
  EXPECT_FALSE(tips_.AddTool(0, 0, QStringLiteral("none")));
  EXPECT_FALSE(tips_.AddTool(0xDEAD, 0, QStringLiteral("no such window")));
  EXPECT_EQ(Tips().ToolCount(), 2);

  TTTOOLINFOA info{};
  QString text;
  ASSERT_TRUE(Tips().Tool(*save_, info, text));
  EXPECT_EQ(text, QStringLiteral("Saves the document"));
  EXPECT_EQ(info.hwnd, Hwnd(HandleOf(*save_)));
  EXPECT_EQ(info.uFlags & (TTF_IDISHWND | TTF_SUBCLASS),
            static_cast<UINT>(TTF_IDISHWND | TTF_SUBCLASS));
  EXPECT_EQ(info.hinst, GetModuleHandleA(nullptr));

  EXPECT_TRUE(tips_.SetTipText(HandleOf(*save_), QStringLiteral("Saved")));
  EXPECT_EQ(Tips().Text(*save_), QStringLiteral("Saved"));
  EXPECT_FALSE(tips_.SetTipText(HandleOf(*save_), QString()));
  EXPECT_EQ(Tips().Text(*save_), QStringLiteral("Saved"));

  EXPECT_TRUE(tips_.DeleteTool(*save_));
  EXPECT_FALSE(tips_.DeleteTool(*save_));
  EXPECT_EQ(Tips().ToolCount(), 1);
  EXPECT_EQ(Tips().Text(*save_), QStringLiteral("<no tool>"));
  EXPECT_FALSE(tips_.SetTipText(HandleOf(*save_), QStringLiteral("gone")));
  EXPECT_EQ(tips_.ToolCount(), Tips().ToolCount());
}

TEST_F(Win32Tooltips, TrackingShowsTheTipWhereItIsToldAndHidesIt) {
  ShowSaveTip(QStringLiteral("Saves the document"));
  EXPECT_TRUE(Tips().Visible());
  EXPECT_TRUE(Tips().At(40, 50));
  EXPECT_TRUE(Tips().Measures(tips_.GetTooltipWidth(*save_), tips_.GetTooltipHeight(*save_)));

  EXPECT_TRUE(tips_.SetTrackPosition(HandleOf(*save_), 60, 70));
  EXPECT_TRUE(Tips().At(60, 70));
  EXPECT_FALSE(tips_.SetTrackPosition(HandleOf(*save_), 40000, 7));
  EXPECT_TRUE(Tips().At(60, 70));

  // A longer text makes a wider bubble; the window measures what it shows.
  const int shortWidth = Tips().Width();
  ASSERT_TRUE(tips_.SetTipText(HandleOf(*save_),
                               QStringLiteral("Saves the document and every copy of it")));
  ASSERT_TRUE(tips_.SetTrackPosition(HandleOf(*save_), 60, 70));
  EXPECT_GT(Tips().Width(), shortWidth);
  EXPECT_TRUE(Tips().Measures(tips_.GetTooltipWidth(*save_), tips_.GetTooltipHeight(*save_)));

  EXPECT_TRUE(tips_.SetTracking(HandleOf(*save_), false));
  EXPECT_FALSE(Tips().Visible());

  // Deleting the tool takes its bubble with it.
  ASSERT_TRUE(tips_.SetTracking(HandleOf(*save_), true));
  ASSERT_TRUE(Tips().Visible());
  EXPECT_TRUE(tips_.DeleteTool(*save_));
  EXPECT_FALSE(Tips().Visible());
}

TEST_F(Win32Tooltips, ATitleAddsALineAndAnIconWidensIt) {
  ShowSaveTip(QStringLiteral("Save"));
  const int plainHeight = Tips().Height();
  EXPECT_TRUE(tips_.SetTitle(QStringLiteral("Hint")));
  ASSERT_TRUE(tips_.SetTrackPosition(HandleOf(*save_), 40, 50));
  const int titledWidth = Tips().Width();
  const int titledHeight = Tips().Height();
  EXPECT_GT(titledHeight, plainHeight);
  EXPECT_TRUE(Tips().Measures(tips_.GetTooltipWidth(*save_), tips_.GetTooltipHeight(*save_)));

  EXPECT_TRUE(tips_.SetIcon(2));
  ASSERT_TRUE(tips_.SetTrackPosition(HandleOf(*save_), 40, 50));
  EXPECT_GT(Tips().Width(), titledWidth);

  // Refused requests leave the bubble as it was.
  const int iconWidth = Tips().Width();
  EXPECT_FALSE(tips_.SetIcon(7));
  EXPECT_FALSE(tips_.SetTitle(QString(100, QLatin1Char('x'))));
  ASSERT_TRUE(tips_.SetTrackPosition(HandleOf(*save_), 40, 50));
  EXPECT_EQ(Tips().Width(), iconWidth);
  EXPECT_EQ(tips_.Title(), QStringLiteral("Hint"));
  EXPECT_EQ(tips_.Icon(), 2);

  // An empty title is passed on as such; whether the window then drops the
  // title line is the window's business (Wine keeps an empty one).
  EXPECT_TRUE(tips_.SetTitle(QString()));
  EXPECT_TRUE(tips_.Title().isEmpty());
  EXPECT_EQ(tips_.Icon(), 2);
}

TEST_F(Win32Tooltips, ColoursMarginsWidthAndDelaysAreTheWindows) {
  ASSERT_TRUE(tips_.Create(*form_));
  EXPECT_TRUE(tips_.SetBackColor(0x00FFFFFF));
  EXPECT_TRUE(tips_.SetForeColor(0x000000FF));
  EXPECT_EQ(Tips().Background(), 0x00FFFFFFu);
  EXPECT_EQ(Tips().Foreground(), 0x000000FFu);
  EXPECT_TRUE(tips_.SetBackColor(0x80000000u | COLOR_INFOBK));
  EXPECT_EQ(Tips().Background(), GetSysColor(COLOR_INFOBK));
  EXPECT_FALSE(tips_.SetBackColor(0x01000000u));
  EXPECT_EQ(Tips().Background(), GetSysColor(COLOR_INFOBK));

  ASSERT_TRUE(tips_.SetMarginLeft(2));
  ASSERT_TRUE(tips_.SetMarginTop(5));
  EXPECT_FALSE(tips_.SetMarginRight(-1));
  const RECT margin = Tips().Margin();
  EXPECT_EQ(margin.left, 2);
  EXPECT_EQ(margin.top, 5);
  EXPECT_EQ(margin.right, 0);
  EXPECT_EQ(margin.bottom, 0);

  EXPECT_TRUE(tips_.SetMaxTipWidth(120));
  EXPECT_EQ(Tips().MaxWidth(), 120);
  EXPECT_FALSE(tips_.SetMaxTipWidth(-2));
  EXPECT_EQ(Tips().MaxWidth(), 120);

  EXPECT_TRUE(tips_.SetDelayTime(tip::kDelayInitial, 250));
  EXPECT_TRUE(tips_.SetDelayTime(tip::kDelayAutoPop, 7000));
  EXPECT_FALSE(tips_.SetDelayTime(tip::kDelayAutoPop, 40000));
  EXPECT_EQ(Tips().Delay(TTDT_INITIAL), 250);
  EXPECT_EQ(Tips().Delay(TTDT_AUTOPOP), 7000);
}

TEST_F(Win32Tooltips, MaxTipWidthWrapsTheShownTip) {
  ShowSaveTip(QStringLiteral("Saves every document of the folder and its subfolders"));
  const RECT oneLine = Tips().Frame();
  ASSERT_TRUE(tips_.SetMaxTipWidth(120));
  ASSERT_TRUE(tips_.SetTracking(HandleOf(*save_), true));
  const RECT wrapped = Tips().Frame();
  EXPECT_LT(wrapped.right - wrapped.left, oneLine.right - oneLine.left);
  EXPECT_GT(wrapped.bottom - wrapped.top, oneLine.bottom - oneLine.top);
  EXPECT_TRUE(Tips().Measures(tips_.GetTooltipWidth(*save_), tips_.GetTooltipHeight(*save_)));
}

// The conversions are the window's own TTM_ADJUSTRECT of the text's extent;
// where a window does not adjust (Wine's plain tooltips refuse it), the
// class answers 0 as it does for every refusal, never a made-up size.
void ExpectConversionsFollowTheWindow(cTooltips& tips, const QWidget& control) {
  const platform::DeviceContext dc(control);
  const QString text = QStringLiteral("Include subfolders");
  SIZE extent{};
  ASSERT_TRUE(
      GetTextExtentPoint32A(reinterpret_cast<HDC>(dc.handle()), "Include subfolders", 18, &extent));
  RECT bubble{0, 0, extent.cx, extent.cy};
  const bool adjusts =
      SendMessageA(Hwnd(tips.hwnd()), TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&bubble)) != 0;
  const int width = bubble.right - bubble.left;
  const int height = bubble.bottom - bubble.top;
  EXPECT_EQ(tips.ToolTipWidthFromText(dc.handle(), text), adjusts ? width : 0);
  EXPECT_EQ(tips.ToolTipHeightFromText(dc.handle(), text), adjusts ? height : 0);
  if (adjusts) {
    EXPECT_GT(width, extent.cx);  // frame and margins were added
    // The way back is the exact inverse of the window's adjustment.
    EXPECT_EQ(tips.TextWidthFromToolTipWidth(dc.handle(), width), extent.cx);
    EXPECT_EQ(tips.TextHeightFromToolTipHeight(dc.handle(), height), extent.cy);
  } else {
    EXPECT_EQ(tips.TextWidthFromToolTipWidth(dc.handle(), 100), 0);
  }
  EXPECT_EQ(tips.ToolTipWidthFromText(dc.handle(), QString()), 0);
  EXPECT_EQ(tips.ToolTipWidthFromText(0, text), 0);
  EXPECT_EQ(tips.TextWidthFromToolTipWidth(dc.handle(), -1), 0);
}

TEST_F(Win32Tooltips, SizeConversionsAreTheWindowsOwnAdjustment) {
  ASSERT_TRUE(tips_.Create(*form_));
  ExpectConversionsFollowTheWindow(tips_, *save_);
  ASSERT_TRUE(tips_.Create(*form_, tip::kBalloon));
  ExpectConversionsFollowTheWindow(tips_, *save_);
}

TEST_F(Win32Tooltips, HitTestFindsTheToolInsideItsControl) {
  ASSERT_TRUE(tips_.Create(*form_));
  ASSERT_TRUE(tips_.AddTool(HandleOf(*save_), 0, QStringLiteral("Save")));
  EXPECT_TRUE(tips_.HitTest(*save_, 5, 5));
  EXPECT_FALSE(tips_.HitTest(*name_, 5, 5));
  EXPECT_TRUE(tips_.SetToolRect(*save_, 0, 0, 50, 20));
  EXPECT_FALSE(tips_.SetToolRect(*name_, 0, 0, 50, 20));
}

TEST_F(Win32Tooltips, AFormThatGoesFirstTakesTheTipWindowWithIt) {
  ShowSaveTip(QStringLiteral("Save"));
  const HWND window = Hwnd(tips_.hwnd());
  form_.reset();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(tips_.ToolCount(), 0);
  EXPECT_FALSE(tips_.AddTool(0xDEAD, 0, QStringLiteral("x")));
}

}  // namespace
}  // namespace qm
