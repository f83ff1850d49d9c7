// The tooltip window on Windows: a common-controls "tooltips_class32" window,
// and each member the one message of its name, sent with SendMessageA. Tools
// cross as TOOLINFOA records of the old size, which keeps the lParam field
// and leaves out lpReserved, so that version 5 and version 6 of the common
// controls both take them.
#include <windows.h>

#include <commctrl.h>

#include <QWidget>

#include <cstddef>

#include "platform/environment.h"
#include "platform/tooltip_window.h"

namespace qm::platform {
namespace {

// The numbers the window is driven with, pinned so that a header that
// disagreed could not slip a different message in.
static_assert(TTM_ACTIVATE == 0x401 && TTM_SETDELAYTIME == 0x403 && TTM_ADDTOOLA == 0x404);
static_assert(TTM_DELTOOLA == 0x405 && TTM_NEWTOOLRECTA == 0x406 && TTM_HITTESTA == 0x40A);
static_assert(TTM_UPDATETIPTEXTA == 0x40C && TTM_GETTOOLCOUNT == 0x40D);
static_assert(TTM_ENUMTOOLSA == 0x40E && TTM_TRACKACTIVATE == 0x411);
static_assert(TTM_TRACKPOSITION == 0x412 && TTM_SETTIPBKCOLOR == 0x413);
static_assert(TTM_SETTIPTEXTCOLOR == 0x414 && TTM_GETDELAYTIME == 0x415);
static_assert(TTM_GETTIPBKCOLOR == 0x416 && TTM_GETTIPTEXTCOLOR == 0x417);
static_assert(TTM_SETMAXTIPWIDTH == 0x418 && TTM_GETMAXTIPWIDTH == 0x419);
static_assert(TTM_SETMARGIN == 0x41A && TTM_GETMARGIN == 0x41B && TTM_POP == 0x41C);
static_assert(TTM_GETBUBBLESIZE == 0x41E && TTM_ADJUSTRECT == 0x41F && TTM_SETTITLEA == 0x420);
static_assert(TTF_IDISHWND == tip::kIdIsHwnd && TTF_SUBCLASS == tip::kSubclass);
static_assert(TTF_TRACK == tip::kTrack && TTF_ABSOLUTE == tip::kAbsolute);
static_assert(TTDT_AUTOMATIC == tip::kDelayAutomatic && TTDT_RESHOW == tip::kDelayReshow);
static_assert(TTDT_AUTOPOP == tip::kDelayAutoPop && TTDT_INITIAL == tip::kDelayInitial);

// TTTOOLINFOA_V2_SIZE, as a constant: 44 bytes on 32-bit Windows, 64 where
// handles and pointers take 8.
constexpr UINT kToolRecordSize = offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM);
static_assert(kToolRecordSize == (sizeof(void*) == 4 ? 44 : 64));

constexpr DWORD kAllControlClasses = 0xFF;
constexpr UINT kTopmostFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
static_assert(kTopmostFlags == 0x13);

HWND Hwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

RECT ToRect(const TipRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

TipRect FromRect(const RECT& rect) { return TipRect{rect.left, rect.top, rect.right, rect.bottom}; }

// A TOOLINFOA of the old size for a tool. The text's bytes live in `ansi`,
// which must outlive the message.
TTTOOLINFOA ToRecord(const ToolRecord& tool, QByteArray& ansi) {
  TTTOOLINFOA info{};
  info.cbSize = kToolRecordSize;
  info.uFlags = tool.flags;
  info.hwnd = Hwnd(tool.window);
  info.uId = static_cast<UINT_PTR>(tool.id);
  info.rect = ToRect(tool.rect);
  info.hinst = reinterpret_cast<HINSTANCE>(tool.instance);
  ansi = ToAnsi(tool.text);
  info.lpszText = tool.text.isEmpty() ? nullptr : ansi.data();
  info.lParam = static_cast<LPARAM>(tool.param);
  return info;
}

class Win32TooltipWindow final : public TooltipWindow {
 public:
  explicit Win32TooltipWindow(HWND window) : window_(window) {}

  ~Win32TooltipWindow() override {
    // The owner's end may have taken the window with it already.
    if (IsWindow(window_)) {
      DestroyWindow(window_);
    }
  }

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_); }

  void Activate(bool active) override { Send(TTM_ACTIVATE, active ? TRUE : FALSE, 0); }

  bool AddTool(const ToolRecord& tool) override { return SendTool(TTM_ADDTOOLA, 0, tool) != 0; }

  void DelTool(const ToolRecord& tool) override { SendTool(TTM_DELTOOLA, 0, tool); }

  bool EnumTools(int index, ToolRecord& tool) override {
    // No text buffer: the window would copy the text into one of unknown size.
    TTTOOLINFOA info{};
    info.cbSize = kToolRecordSize;
    if (index < 0 ||
        Send(TTM_ENUMTOOLSA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)) == 0) {
      return false;
    }
    tool = ToolRecord{};
    tool.flags = info.uFlags;
    tool.window = reinterpret_cast<WindowHandle>(info.hwnd);
    tool.id = static_cast<WindowHandle>(info.uId);
    tool.rect = FromRect(info.rect);
    tool.instance = reinterpret_cast<std::uintptr_t>(info.hinst);
    tool.param = static_cast<std::intptr_t>(info.lParam);
    return true;
  }

  int GetToolCount() override { return static_cast<int>(Send(TTM_GETTOOLCOUNT, 0, 0)); }

  void UpdateTipText(const ToolRecord& tool) override { SendTool(TTM_UPDATETIPTEXTA, 0, tool); }

  void NewToolRect(const ToolRecord& tool) override { SendTool(TTM_NEWTOOLRECTA, 0, tool); }

  void TrackActivate(bool on, const ToolRecord& tool) override {
    SendTool(TTM_TRACKACTIVATE, on ? TRUE : FALSE, tool);
  }

  void TrackPosition(std::uint32_t xy) override {
    Send(TTM_TRACKPOSITION, 0, static_cast<LPARAM>(xy));
  }

  bool HitTest(WindowHandle window, std::int32_t x, std::int32_t y) override {
    TTHITTESTINFOA hit{};
    hit.hwnd = Hwnd(window);
    hit.pt = POINT{x, y};
    hit.ti.cbSize = kToolRecordSize;
    return Send(TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)) != 0;
  }

  void SetDelayTime(int mode, std::int32_t ms) override {
    Send(TTM_SETDELAYTIME, static_cast<WPARAM>(mode), static_cast<LPARAM>(ms));
  }

  int GetDelayTime(int mode) override {
    return static_cast<int>(Send(TTM_GETDELAYTIME, static_cast<WPARAM>(mode), 0));
  }

  void Pop() override { Send(TTM_POP, 0, 0); }

  int GetMaxTipWidth() override { return static_cast<int>(Send(TTM_GETMAXTIPWIDTH, 0, 0)); }

  void SetMaxTipWidth(int width) override {
    Send(TTM_SETMAXTIPWIDTH, 0, static_cast<LPARAM>(width));
  }

  TipRect GetMargin() override {
    RECT margin{};
    Send(TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    return FromRect(margin);
  }

  void SetMargin(const TipRect& margin) override {
    RECT rect = ToRect(margin);
    Send(TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&rect));
  }

  std::uint32_t GetTipBkColor() override {
    return static_cast<std::uint32_t>(Send(TTM_GETTIPBKCOLOR, 0, 0));
  }

  void SetTipBkColor(std::uint32_t color) override {
    Send(TTM_SETTIPBKCOLOR, static_cast<WPARAM>(color), 0);
  }

  std::uint32_t GetTipTextColor() override {
    return static_cast<std::uint32_t>(Send(TTM_GETTIPTEXTCOLOR, 0, 0));
  }

  void SetTipTextColor(std::uint32_t color) override {
    Send(TTM_SETTIPTEXTCOLOR, static_cast<WPARAM>(color), 0);
  }

  bool SetTitle(int icon, const QString& title) override {
    const QByteArray ansi = ToAnsi(title);
    return Send(TTM_SETTITLEA, static_cast<WPARAM>(icon),
                reinterpret_cast<LPARAM>(ansi.constData())) != 0;
  }

  std::uint32_t GetBubbleSize(const ToolRecord& tool) override {
    return static_cast<std::uint32_t>(SendTool(TTM_GETBUBBLESIZE, 0, tool));
  }

  bool AdjustRect(bool larger, TipRect& rect) override {
    RECT adjusted = ToRect(rect);
    if (Send(TTM_ADJUSTRECT, larger ? TRUE : FALSE, reinterpret_cast<LPARAM>(&adjusted)) == 0) {
      return false;
    }
    rect = FromRect(adjusted);
    return true;
  }

 private:
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(window_, message, wParam, lParam);
  }

  LRESULT SendTool(UINT message, WPARAM wParam, const ToolRecord& tool) {
    QByteArray ansi;
    TTTOOLINFOA info = ToRecord(tool, ansi);
    return Send(message, wParam, reinterpret_cast<LPARAM>(&info));
  }

  HWND window_;
};

}  // namespace

std::unique_ptr<TooltipWindow> TooltipWindow::Create(WindowHandle owner, std::uint32_t style) {
  if (!IsWindow(Hwnd(owner))) {
    return nullptr;
  }
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = kAllControlClasses;
  static_assert(sizeof(INITCOMMONCONTROLSEX) == 8);
  InitCommonControlsEx(&controls);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", style | WS_POPUP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(owner), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) {
    return nullptr;
  }
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kTopmostFlags);
  return std::make_unique<Win32TooltipWindow>(window);
}

bool IsWindowHandle(WindowHandle handle) { return handle != 0 && IsWindow(Hwnd(handle)) != 0; }

std::uintptr_t ProgramInstance() {
  return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
}

bool SystemColor(int index, std::uint32_t& color) {
  // GetSysColor answers 0 for an index it does not know; its brush tells.
  if (index < 0 || GetSysColorBrush(index) == nullptr) {
    return false;
  }
  color = static_cast<std::uint32_t>(GetSysColor(index));
  return true;
}

DeviceContext::DeviceContext(const QWidget& control)
    : window_(static_cast<std::uintptr_t>(control.winId())),
      handle_(reinterpret_cast<std::uintptr_t>(GetDC(Hwnd(window_)))) {}

DeviceContext::~DeviceContext() {
  if (handle_ != 0) {
    ReleaseDC(Hwnd(window_), reinterpret_cast<HDC>(handle_));
  }
}

bool TextExtent(std::uintptr_t hDC, const QString& text, std::int32_t& cx, std::int32_t& cy) {
  const QByteArray ansi = ToAnsi(text);
  SIZE size{};
  if (hDC == 0 || GetTextExtentPoint32A(reinterpret_cast<HDC>(hDC), ansi.constData(),
                                        static_cast<int>(ansi.size()), &size) == 0) {
    return false;
  }
  cx = size.cx;
  cy = size.cy;
  return true;
}

}  // namespace qm::platform
