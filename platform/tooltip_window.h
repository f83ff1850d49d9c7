// A tooltip window: one popup that shows a tip for the controls ("tools")
// registered with it.
//
// Each member of TooltipWindow is one request of the common-controls tooltip
// window, and the tooltip window is the only store of tools: nobody keeps a
// second list. On Windows the object owns a real "tooltips_class32" window and
// every member is the one TTM_* message of its name, with tools exchanged as
// TOOLINFOA records of the old size (44 bytes on 32-bit Windows). On Linux it
// owns a top-level Qt window (Qt::ToolTip) that serves the same requests:
// tools keyed by the control's window handle, text, title and icon, colours,
// delays, margins, maximum width, tracking, hit test and bubble sizes.
//
// Window handles of controls are QWidget::winId() on both sides (on Windows
// the HWND). A handle that names no window is refused, never dereferenced.
//
// Ownership: the caller owns the TooltipWindow; destroying it destroys the
// window and every tool in it. Members check nothing the window itself does
// not check; range checks of the caller's input belong to the caller.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

class QWidget;

namespace qm::platform {

using WindowHandle = std::uintptr_t;  // as in host_window.h; 0 stands for none

// Numbers of the tooltip protocol the callers pass through.
namespace tip {
inline constexpr std::uint32_t kIdIsHwnd = 0x1;   // TTF_IDISHWND
inline constexpr std::uint32_t kSubclass = 0x10;  // TTF_SUBCLASS
inline constexpr std::uint32_t kTrack = 0x20;     // TTF_TRACK
inline constexpr std::uint32_t kAbsolute = 0x80;  // TTF_ABSOLUTE

inline constexpr std::uint32_t kAlwaysTip = 0x1;  // TTS_ALWAYSTIP
inline constexpr std::uint32_t kNoPrefix = 0x2;   // TTS_NOPREFIX
inline constexpr std::uint32_t kBalloon = 0x40;   // TTS_BALLOON

// Delay kinds (TTDT_*).
inline constexpr int kDelayAutomatic = 0;
inline constexpr int kDelayReshow = 1;
inline constexpr int kDelayAutoPop = 2;
inline constexpr int kDelayInitial = 3;

// Title icons (TTI_*): none, information, warning, error and their large forms.
inline constexpr int kIconNone = 0;
inline constexpr int kIconLastStandard = 6;

// The longest title the window takes, in characters.
inline constexpr int kTitleMaxLength = 99;
}  // namespace tip

struct TipRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const TipRect&, const TipRect&) = default;
};

// The fields of a tool record (TOOLINFOA). Its size field is the window
// side's business: every record crosses the seam in the one old size.
struct ToolRecord {
  std::uint32_t flags = 0;
  WindowHandle window = 0;  // the window that holds the tool
  WindowHandle id = 0;      // with kIdIsHwnd: the control's window handle
  TipRect rect;
  std::uintptr_t instance = 0;
  QString text;  // empty: no text (a null text pointer)
  std::intptr_t param = 0;
};

class TooltipWindow {
 public:
  // Creates the window above every other window, owned by the window
  // `owner`, with the tooltip styles `style`. Null when it cannot be made.
  static std::unique_ptr<TooltipWindow> Create(WindowHandle owner, std::uint32_t style);

  virtual ~TooltipWindow() = default;
  TooltipWindow(const TooltipWindow&) = delete;
  TooltipWindow& operator=(const TooltipWindow&) = delete;

  virtual WindowHandle Handle() const = 0;

  virtual void Activate(bool active) = 0;                           // TTM_ACTIVATE
  virtual bool AddTool(const ToolRecord& tool) = 0;                 // TTM_ADDTOOLA
  virtual void DelTool(const ToolRecord& tool) = 0;                 // TTM_DELTOOLA
  virtual bool EnumTools(int index, ToolRecord& tool) = 0;          // TTM_ENUMTOOLSA
  virtual int GetToolCount() = 0;                                   // TTM_GETTOOLCOUNT
  virtual void UpdateTipText(const ToolRecord& tool) = 0;           // TTM_UPDATETIPTEXTA
  virtual void NewToolRect(const ToolRecord& tool) = 0;             // TTM_NEWTOOLRECTA
  virtual void TrackActivate(bool on, const ToolRecord& tool) = 0;  // TTM_TRACKACTIVATE
  virtual void TrackPosition(std::uint32_t xy) = 0;                 // TTM_TRACKPOSITION
  // TTM_HITTESTA: the point is in the client coordinates of `window`.
  virtual bool HitTest(WindowHandle window, std::int32_t x, std::int32_t y) = 0;
  virtual void SetDelayTime(int mode, std::int32_t ms) = 0;  // TTM_SETDELAYTIME
  virtual int GetDelayTime(int mode) = 0;                    // TTM_GETDELAYTIME
  virtual void Pop() = 0;                                    // TTM_POP
  virtual int GetMaxTipWidth() = 0;                          // TTM_GETMAXTIPWIDTH
  virtual void SetMaxTipWidth(int width) = 0;                // TTM_SETMAXTIPWIDTH
  virtual TipRect GetMargin() = 0;                           // TTM_GETMARGIN
  virtual void SetMargin(const TipRect& margin) = 0;         // TTM_SETMARGIN
  // Colours are COLORREF values, 0x00BBGGRR.
  virtual std::uint32_t GetTipBkColor() = 0;                  // TTM_GETTIPBKCOLOR
  virtual void SetTipBkColor(std::uint32_t color) = 0;        // TTM_SETTIPBKCOLOR
  virtual std::uint32_t GetTipTextColor() = 0;                // TTM_GETTIPTEXTCOLOR
  virtual void SetTipTextColor(std::uint32_t color) = 0;      // TTM_SETTIPTEXTCOLOR
  virtual bool SetTitle(int icon, const QString& title) = 0;  // TTM_SETTITLEA
  // Width in the low 16 bits, height in the high 16 bits.
  virtual std::uint32_t GetBubbleSize(const ToolRecord& tool) = 0;  // TTM_GETBUBBLESIZE
  // larger: text rectangle to window rectangle; else the other way round.
  virtual bool AdjustRect(bool larger, TipRect& rect) = 0;  // TTM_ADJUSTRECT

 protected:
  TooltipWindow() = default;
};

// True when `handle` names an existing window (IsWindow).
bool IsWindowHandle(WindowHandle handle);

// The running program's module instance (0 on Linux, which has none).
std::uintptr_t ProgramInstance();

// GetSysColor: the COLORREF of system colour `index` (COLOR_INFOBK is 24).
// False for an index the system does not know.
bool SystemColor(int index, std::uint32_t& color);

// A device context to measure text in, for as long as the object lives. On
// Windows GetDC of the control's window (its font is the system's); on Linux
// the control's window handle, and text is measured in the control's font.
class DeviceContext {
 public:
  explicit DeviceContext(const QWidget& control);
  ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  std::uintptr_t handle() const { return handle_; }

 private:
  std::uintptr_t window_ = 0;
  std::uintptr_t handle_ = 0;
};

// GetTextExtentPoint32A: the size of one line of text on the device context.
// False when the context is not one.
bool TextExtent(std::uintptr_t hDC, const QString& text, std::int32_t& cx, std::int32_t& cy);

}  // namespace qm::platform
