#include "support/c_tooltips.h"

#include <QWidget>

namespace qm {
namespace {

namespace tip = platform::tip;

// Sizes and positions travel in 16 bits (bubble sizes, track positions,
// delay times), so that is where input ends.
constexpr int kLargestSize = 32767;

bool InSize(int value) { return value >= 0 && value <= kLargestSize; }

bool InInt16(int value) { return value >= -32768 && value <= 32767; }

constexpr std::uint32_t kSystemColorTag = 0x80000000u;

platform::WindowHandle HandleOf(const QWidget& control) {
  return static_cast<platform::WindowHandle>(control.winId());
}

}  // namespace

cTooltips::cTooltips() = default;

cTooltips::~cTooltips() { Destroy(); }

void cTooltips::Destroy() {
  tips_.reset();
  hwnd_ = 0;
}

bool cTooltips::Create(const QWidget& frm, std::uint32_t Flags) {
  Destroy();
  enabled_ = true;
  icon_ = tip::kIconNone;
  title_.clear();
  tips_ = platform::TooltipWindow::Create(HandleOf(frm), Flags);
  if (tips_ == nullptr) {
    return false;
  }
  hwnd_ = tips_->Handle();
  return true;
}

bool cTooltips::AddTool(WindowHandle hwndOfControl, std::uint32_t Flags, const QString& Text) {
  if (tips_ == nullptr || !platform::IsWindowHandle(hwndOfControl)) {
    return false;
  }
  // A second tool for the same control could never be told apart from the
  // first by the members that take the control.
  platform::ToolRecord existing;
  if (FindTool(hwndOfControl, existing)) {
    return false;
  }
  platform::ToolRecord tool;
  tool.flags = Flags | tip::kIdIsHwnd | tip::kSubclass;
  tool.window = hwndOfControl;
  tool.id = hwndOfControl;
  tool.instance = platform::ProgramInstance();
  tool.text = Text;
  return tips_->AddTool(tool);
}

bool cTooltips::FindTool(WindowHandle hwndControl, platform::ToolRecord& tool) {
  if (tips_ == nullptr || hwndControl == 0) {
    return false;
  }
  const int count = tips_->GetToolCount();
  for (int index = 0; index < count; ++index) {
    platform::ToolRecord candidate;
    if (tips_->EnumTools(index, candidate) && candidate.id == hwndControl) {
      tool = candidate;
      return true;
    }
  }
  return false;
}

bool cTooltips::DeleteTool(const QWidget& Ctl) {
  platform::ToolRecord tool;
  if (tips_ == nullptr || !FindTool(HandleOf(Ctl), tool)) {
    return false;
  }
  // A tracked bubble would otherwise go on showing a tool that no longer
  // exists: some tooltip windows only hide the bubble of the hovered tool.
  if ((tool.flags & tip::kTrack) != 0) {
    tips_->TrackActivate(false, tool);
  }
  tips_->DelTool(tool);
  return true;
}

bool cTooltips::SetTipText(WindowHandle hwndControl, const QString& NewText) {
  platform::ToolRecord tool;
  if (NewText.isEmpty() || !FindTool(hwndControl, tool)) {
    return false;
  }
  tool.text = NewText;
  tips_->UpdateTipText(tool);
  return true;
}

bool cTooltips::SetToolRect(const QWidget& Ctl, int Left, int Top, int Right, int Bottom) {
  platform::ToolRecord tool;
  if (Left > Right || Top > Bottom || tips_ == nullptr || !FindTool(HandleOf(Ctl), tool)) {
    return false;
  }
  tool.rect = {Left, Top, Right, Bottom};
  tips_->NewToolRect(tool);
  return true;
}

bool cTooltips::SetTracking(WindowHandle hwndControl, bool Tracking) {
  platform::ToolRecord tool;
  if (!FindTool(hwndControl, tool)) {
    return false;
  }
  tips_->TrackActivate(Tracking, tool);
  return true;
}

bool cTooltips::SetTrackPosition(WindowHandle hwndControl, int x, int y) {
  platform::ToolRecord tool;
  if (!InInt16(x) || !InInt16(y) || !FindTool(hwndControl, tool)) {
    return false;
  }
  tips_->TrackPosition(static_cast<std::uint32_t>(MAKELONG(x, y)));
  return true;
}

bool cTooltips::HitTest(const QWidget& Ctl, int x, int y) {
  if (tips_ == nullptr) {
    return false;
  }
  return tips_->HitTest(HandleOf(Ctl), x, y);
}

std::int32_t cTooltips::MAKELONG(int Int1, int Int2) {
  const std::uint32_t low = static_cast<std::uint32_t>(Int1) & 0xFFFFu;
  const std::uint32_t high = static_cast<std::uint32_t>(Int2) & 0xFFFFu;
  return static_cast<std::int32_t>(low | (high << 16));
}

bool cTooltips::SetEnabled(bool NewState) {
  enabled_ = NewState;
  if (tips_ == nullptr) {
    return false;
  }
  tips_->Activate(NewState);
  return true;
}

bool cTooltips::SetDelayTime(int TimeMode, int Time) {
  const bool knownMode = TimeMode >= tip::kDelayAutomatic && TimeMode <= tip::kDelayInitial;
  if (tips_ == nullptr || !knownMode || (Time != -1 && !InSize(Time))) {
    return false;
  }
  tips_->SetDelayTime(TimeMode, Time);
  return true;
}

int cTooltips::GetDelayTime(int TimeMode) {
  // The automatic mode only sets the other three; it has no time to read.
  if (tips_ == nullptr || TimeMode < tip::kDelayReshow || TimeMode > tip::kDelayInitial) {
    return 0;
  }
  return tips_->GetDelayTime(TimeMode);
}

bool cTooltips::HideTips() {
  if (tips_ == nullptr) {
    return false;
  }
  tips_->Pop();
  return true;
}

int cTooltips::ToolCount() { return tips_ == nullptr ? 0 : tips_->GetToolCount(); }

int cTooltips::MaxTipWidth() { return tips_ == nullptr ? 0 : tips_->GetMaxTipWidth(); }

bool cTooltips::SetMaxTipWidth(int NewWidth) {
  if (tips_ == nullptr || (NewWidth != -1 && !InSize(NewWidth))) {
    return false;
  }
  tips_->SetMaxTipWidth(NewWidth);
  return true;
}

int cTooltips::Margin(Side side) {
  if (tips_ == nullptr) {
    return 0;
  }
  const platform::TipRect margin = tips_->GetMargin();
  switch (side) {
    case Side::Left:
      return margin.left;
    case Side::Top:
      return margin.top;
    case Side::Right:
      return margin.right;
    case Side::Bottom:
      return margin.bottom;
  }
  return 0;
}

bool cTooltips::SetMargin(Side side, int NewMargin) {
  if (tips_ == nullptr || !InSize(NewMargin)) {
    return false;
  }
  // The window takes all four sides at once; the other three keep theirs.
  platform::TipRect margin = tips_->GetMargin();
  switch (side) {
    case Side::Left:
      margin.left = NewMargin;
      break;
    case Side::Top:
      margin.top = NewMargin;
      break;
    case Side::Right:
      margin.right = NewMargin;
      break;
    case Side::Bottom:
      margin.bottom = NewMargin;
      break;
  }
  tips_->SetMargin(margin);
  return true;
}

int cTooltips::MarginLeft() { return Margin(Side::Left); }
int cTooltips::MarginTop() { return Margin(Side::Top); }
int cTooltips::MarginRight() { return Margin(Side::Right); }
int cTooltips::MarginBottom() { return Margin(Side::Bottom); }
bool cTooltips::SetMarginLeft(int NewMargin) { return SetMargin(Side::Left, NewMargin); }
bool cTooltips::SetMarginTop(int NewMargin) { return SetMargin(Side::Top, NewMargin); }
bool cTooltips::SetMarginRight(int NewMargin) { return SetMargin(Side::Right, NewMargin); }
bool cTooltips::SetMarginBottom(int NewMargin) { return SetMargin(Side::Bottom, NewMargin); }

bool cTooltips::TranslateColor(std::uint32_t color, std::uint32_t& rgb) const {
  const std::uint32_t tag = color & 0xFF000000u;
  if (tag == 0) {
    rgb = color;
    return true;
  }
  // Any other high byte would be a palette reference or garbage, which a
  // tooltip would paint as some unrelated colour.
  if (tag != kSystemColorTag) {
    return false;
  }
  return platform::SystemColor(static_cast<int>(color & 0xFFu), rgb);
}

std::uint32_t cTooltips::BackColor() { return tips_ == nullptr ? 0 : tips_->GetTipBkColor(); }

bool cTooltips::SetBackColor(std::uint32_t NewColor) {
  std::uint32_t rgb = 0;
  if (tips_ == nullptr || !TranslateColor(NewColor, rgb)) {
    return false;
  }
  tips_->SetTipBkColor(rgb);
  return true;
}

std::uint32_t cTooltips::ForeColor() { return tips_ == nullptr ? 0 : tips_->GetTipTextColor(); }

bool cTooltips::SetForeColor(std::uint32_t NewColor) {
  std::uint32_t rgb = 0;
  if (tips_ == nullptr || !TranslateColor(NewColor, rgb)) {
    return false;
  }
  tips_->SetTipTextColor(rgb);
  return true;
}

bool cTooltips::SetTitle(const QString& NewTitle) {
  if (tips_ == nullptr || NewTitle.size() > tip::kTitleMaxLength ||
      !tips_->SetTitle(icon_, NewTitle)) {
    return false;
  }
  title_ = NewTitle;
  return true;
}

bool cTooltips::SetIcon(int NewIcon) {
  if (tips_ == nullptr || NewIcon < tip::kIconNone || NewIcon > tip::kIconLastStandard ||
      !tips_->SetTitle(NewIcon, title_)) {
    return false;
  }
  icon_ = NewIcon;
  return true;
}

int cTooltips::GetTooltipWidth(const QWidget& Ctl) {
  platform::ToolRecord tool;
  if (tips_ == nullptr || !FindTool(HandleOf(Ctl), tool)) {
    return 0;
  }
  return static_cast<int>(tips_->GetBubbleSize(tool) & 0xFFFFu);
}

int cTooltips::GetTooltipHeight(const QWidget& Ctl) {
  platform::ToolRecord tool;
  if (tips_ == nullptr || !FindTool(HandleOf(Ctl), tool)) {
    return 0;
  }
  return static_cast<int>(tips_->GetBubbleSize(tool) >> 16);
}

bool cTooltips::AdjustedText(std::uintptr_t hDC, const QString& Text, platform::TipRect& rect) {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  if (tips_ == nullptr || Text.isEmpty() || !platform::TextExtent(hDC, Text, cx, cy)) {
    return false;
  }
  rect = {0, 0, cx, cy};
  return tips_->AdjustRect(true, rect);
}

int cTooltips::ToolTipWidthFromText(std::uintptr_t hDC, const QString& Text) {
  platform::TipRect rect;
  return AdjustedText(hDC, Text, rect) ? rect.right - rect.left : 0;
}

int cTooltips::ToolTipHeightFromText(std::uintptr_t hDC, const QString& Text) {
  platform::TipRect rect;
  return AdjustedText(hDC, Text, rect) ? rect.bottom - rect.top : 0;
}

int cTooltips::TextWidthFromToolTipWidth(std::uintptr_t /*hDC*/, int TextWidth) {
  platform::TipRect rect{0, 0, TextWidth, 0};
  if (tips_ == nullptr || !InSize(TextWidth) || !tips_->AdjustRect(false, rect)) {
    return 0;
  }
  return rect.right - rect.left;
}

int cTooltips::TextHeightFromToolTipHeight(std::uintptr_t /*hDC*/, int TextHeight) {
  platform::TipRect rect{0, 0, 0, TextHeight};
  if (tips_ == nullptr || !InSize(TextHeight) || !tips_->AdjustRect(false, rect)) {
    return 0;
  }
  return rect.bottom - rect.top;
}

}  // namespace qm
