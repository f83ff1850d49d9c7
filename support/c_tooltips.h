// cTooltips: one tooltip window that belongs to a form, and the controls
// registered with it as tools.
//
// Nothing in QMReplace calls it: it is a support class kept for the sibling
// tools that share this folder's classes, so the program does not link it
// (its target is qm_tooltips; only its tests do). Look here, not in window/,
// when a tooltip of the dialog is wanted: the dialog has none.
//
// Use: Create the window, AddTool for each control, then set the window's
// properties (Enabled, delays, margins, MaxTipWidth, colours, Title, Icon) or
// drive it (SetTipText, tracking, HitTest, HideTips). Each member is one
// request to the tooltip window; the class keeps no list of tools, it asks
// the window (see platform/tooltip_window.h).
//
// Ownership: the instance owns its tooltip window from Create until it ends
// or Create runs again; the tools live in that window and go with it. The
// controls and the form stay the caller's.
//
// Failures: nothing is thrown. Before Create no member sends anything:
// getters give 0, false or an empty text and setters store nothing (only
// Enabled keeps its state). Operations and setters return true when the
// window took the request, and false, changing nothing, for a missing window,
// a control without a tool, a handle that names no window, an empty tip text
// or a value out of range.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

#include "platform/tooltip_window.h"

class QWidget;

namespace qm {

class cTooltips {
 public:
  using WindowHandle = platform::WindowHandle;

  cTooltips();
  ~cTooltips();  // destroys the tooltip window
  cTooltips(const cTooltips&) = delete;
  cTooltips& operator=(const cTooltips&) = delete;

  // Creation and tools. Flags of Create are tooltip styles (tip::kBalloon,
  // ...); Flags of AddTool are tool flags, to which kIdIsHwnd and kSubclass
  // are always added. A control has at most one tool.
  bool Create(const QWidget& frm, std::uint32_t Flags = 0);
  bool AddTool(WindowHandle hwndOfControl, std::uint32_t Flags = 0, const QString& Text = {});
  bool DeleteTool(const QWidget& Ctl);
  bool SetTipText(WindowHandle hwndControl, const QString& NewText);
  bool SetToolRect(const QWidget& Ctl, int Left, int Top, int Right, int Bottom);
  bool SetTracking(WindowHandle hwndControl, bool Tracking);
  // x and y are screen coordinates that fit in 16 bits.
  bool SetTrackPosition(WindowHandle hwndControl, int x, int y);
  // x and y are in the control's client coordinates.
  bool HitTest(const QWidget& Ctl, int x, int y);
  static std::int32_t MAKELONG(int Int1, int Int2);

  // Settings.
  bool Enabled() const { return tips_ != nullptr && enabled_; }
  bool SetEnabled(bool NewState);
  // TimeMode: tip::kDelayAutomatic, kDelayReshow, kDelayAutoPop or
  // kDelayInitial; Time in milliseconds up to 32767, or -1 for the default.
  bool SetDelayTime(int TimeMode, int Time);
  int GetDelayTime(int TimeMode);
  bool HideTips();
  int ToolCount();
  // Width of the text area in pixels; -1 lets a tip be as wide as its text.
  int MaxTipWidth();
  bool SetMaxTipWidth(int NewWidth);
  int MarginLeft();
  int MarginTop();
  int MarginRight();
  int MarginBottom();
  bool SetMarginLeft(int NewMargin);
  bool SetMarginTop(int NewMargin);
  bool SetMarginRight(int NewMargin);
  bool SetMarginBottom(int NewMargin);
  // Colours as 0x00BBGGRR, or 0x800000nn for system colour nn.
  std::uint32_t BackColor();
  bool SetBackColor(std::uint32_t NewColor);
  std::uint32_t ForeColor();
  bool SetForeColor(std::uint32_t NewColor);
  // An empty title removes it; at most tip::kTitleMaxLength characters.
  const QString& Title() const { return title_; }
  bool SetTitle(const QString& NewTitle);
  // tip::kIconNone to tip::kIconLastStandard.
  int Icon() const { return icon_; }
  bool SetIcon(int NewIcon);
  WindowHandle hwnd() const { return hwnd_; }

  // Size of the bubble the control's tool shows now; 0 without its tool.
  int GetTooltipWidth(const QWidget& Ctl);
  int GetTooltipHeight(const QWidget& Ctl);

  // Conversions between a text's size and the size of the bubble showing it.
  // hDC is a platform::DeviceContext's handle; the last two do not use it.
  // All four give 0 without a window, for an empty text or a size outside
  // 0 to 32767.
  int ToolTipWidthFromText(std::uintptr_t hDC, const QString& Text);
  int ToolTipHeightFromText(std::uintptr_t hDC, const QString& Text);
  int TextWidthFromToolTipWidth(std::uintptr_t hDC, int TextWidth);
  int TextHeightFromToolTipHeight(std::uintptr_t hDC, int TextHeight);

 private:
  enum class Side { Left, Top, Right, Bottom };
  int Margin(Side side);
  bool SetMargin(Side side, int NewMargin);
  // The tool of the control, asked of the window; empty when it has none.
  bool FindTool(WindowHandle hwndControl, platform::ToolRecord& tool);
  bool TranslateColor(std::uint32_t color, std::uint32_t& rgb) const;
  bool AdjustedText(std::uintptr_t hDC, const QString& Text, platform::TipRect& rect);
  void Destroy();

  std::unique_ptr<platform::TooltipWindow> tips_;
  WindowHandle hwnd_ = 0;
  bool enabled_ = false;
  int icon_ = 0;
  QString title_;
};

}  // namespace qm
