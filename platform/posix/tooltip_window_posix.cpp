// The tooltip window on Linux: the requests of the Windows tooltip served on
// Qt widgets. Tools are kept in the order they were added, as the Windows
// window enumerates them; a tool whose control is destroyed goes with it.
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPalette>
#include <QPointer>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "platform/posix/tooltip_window_bubble.h"
#include "platform/tooltip_window.h"

namespace qm::platform {
namespace {

constexpr QPoint kBelowCursor{0, 20};

// A tool is known by the window that holds it and its id, as on Windows.
bool SameTool(const ToolRecord& a, const ToolRecord& b) {
  return a.window == b.window && a.id == b.id;
}

struct Tool {
  ToolRecord record;
  const QObject* control = nullptr;  // compared only, never dereferenced
};

class PosixTooltipWindow final : public QObject, public TooltipWindow {
 public:
  // The styles change nothing here: a tip shows whether or not its form is
  // active (as with TTS_ALWAYSTIP), and the bubble has one shape.
  explicit PosixTooltipWindow(QWidget* owner) : bubble_(new TipBubble(owner)) {
    handle_ = static_cast<WindowHandle>(bubble_->winId());
    const QPalette tips = QToolTip::palette();
    background_ = ToColorRef(tips.color(QPalette::ToolTipBase));
    foreground_ = ToColorRef(tips.color(QPalette::ToolTipText));
    bubble_->SetColors(FromColorRef(background_), FromColorRef(foreground_));
    SetDelayTime(tip::kDelayAutomatic, -1);
    initialTimer_.setSingleShot(true);
    autoPopTimer_.setSingleShot(true);
    connect(&initialTimer_, &QTimer::timeout, this, [this] { ShowHovered(); });
    connect(&autoPopTimer_, &QTimer::timeout, this, [this] {
      if (!tracking_) {
        HideBubble();
      }
    });
  }

  ~PosixTooltipWindow() override {
    // The owner may have taken the bubble with it already.
    delete bubble_.data();
  }

  WindowHandle Handle() const override { return handle_; }

  void Activate(bool active) override {
    active_ = active;
    if (!active) {
      HideBubble();
    } else if (tracking_) {
      ShowTracked();
    }
  }

  bool AddTool(const ToolRecord& tool) override {
    QWidget* control = WidgetOf((tool.flags & tip::kIdIsHwnd) != 0 ? tool.id : tool.window);
    if (control == nullptr) {
      return false;
    }
    if (std::none_of(tools_.begin(), tools_.end(),
                     [control](const Tool& t) { return t.control == control; })) {
      control->installEventFilter(this);
      connect(control, &QObject::destroyed, this, [this](QObject* gone) { Forget(gone); });
    }
    tools_.push_back({tool, control});
    return true;
  }

  void DelTool(const ToolRecord& tool) override {
    const auto found = Find(tool);
    if (found == tools_.end()) {
      return;
    }
    const QObject* control = found->control;
    if (IsShowing(found->record)) {
      HideBubble();
    }
    if (tracking_ && SameTool(tracked_, found->record)) {
      tracking_ = false;
    }
    tools_.erase(found);
    if (std::none_of(tools_.begin(), tools_.end(),
                     [control](const Tool& t) { return t.control == control; })) {
      if (QWidget* widget = WidgetOf(tool.id); widget == control) {
        widget->removeEventFilter(this);
      }
    }
  }

  bool EnumTools(int index, ToolRecord& tool) override {
    if (index < 0 || static_cast<std::size_t>(index) >= tools_.size()) {
      return false;
    }
    tool = tools_[static_cast<std::size_t>(index)].record;
    return true;
  }

  int GetToolCount() override { return static_cast<int>(tools_.size()); }

  void UpdateTipText(const ToolRecord& tool) override {
    const auto found = Find(tool);
    if (found == tools_.end()) {
      return;
    }
    found->record.text = tool.text;
    if (IsShowing(found->record)) {
      Redraw();
    }
  }

  void NewToolRect(const ToolRecord& tool) override {
    const auto found = Find(tool);
    if (found != tools_.end()) {
      found->record.rect = tool.rect;
    }
  }

  void TrackActivate(bool on, const ToolRecord& tool) override {
    const auto found = Find(tool);
    if (found == tools_.end()) {
      return;
    }
    if (on) {
      tracking_ = true;
      tracked_ = found->record;
      ShowTracked();
    } else if (tracking_ && SameTool(tracked_, found->record)) {
      tracking_ = false;
      HideBubble();
    }
  }

  void TrackPosition(std::uint32_t xy) override {
    trackPoint_ =
        QPoint(static_cast<std::int16_t>(xy & 0xFFFF), static_cast<std::int16_t>(xy >> 16));
    if (tracking_) {
      ShowTracked();
    }
  }

  bool HitTest(WindowHandle window, std::int32_t x, std::int32_t y) override {
    for (const Tool& tool : tools_) {
      const ToolRecord& r = tool.record;
      if ((r.flags & tip::kIdIsHwnd) != 0) {
        QWidget* control = WidgetOf(r.id);
        if (r.id == window && control != nullptr && control->rect().contains(x, y)) {
          return true;
        }
      } else if (r.window == window && x >= r.rect.left && x < r.rect.right && y >= r.rect.top &&
                 y < r.rect.bottom) {
        return true;
      }
    }
    return false;
  }

  void SetDelayTime(int mode, std::int32_t ms) override {
    const int initial = ms < 0 ? QApplication::doubleClickInterval() : ms;
    switch (mode) {
      case tip::kDelayAutomatic:
        initial_ = initial;
        autoPop_ = initial * 10;
        reshow_ = initial / 5;
        break;
      case tip::kDelayReshow:
        reshow_ = ms < 0 ? QApplication::doubleClickInterval() / 5 : ms;
        break;
      case tip::kDelayAutoPop:
        autoPop_ = ms < 0 ? QApplication::doubleClickInterval() * 10 : ms;
        break;
      case tip::kDelayInitial:
        initial_ = initial;
        break;
      default:
        break;
    }
  }

  int GetDelayTime(int mode) override {
    switch (mode) {
      case tip::kDelayReshow:
        return reshow_;
      case tip::kDelayAutoPop:
        return autoPop_;
      case tip::kDelayInitial:
        return initial_;
      default:
        return 0;
    }
  }

  void Pop() override { HideBubble(); }

  int GetMaxTipWidth() override { return maxTipWidth_; }

  void SetMaxTipWidth(int width) override {
    maxTipWidth_ = width;
    Redraw();
  }

  TipRect GetMargin() override { return margin_; }

  void SetMargin(const TipRect& margin) override {
    margin_ = margin;
    Redraw();
  }

  std::uint32_t GetTipBkColor() override { return background_; }

  void SetTipBkColor(std::uint32_t color) override {
    background_ = color & 0xFFFFFF;
    ApplyColors();
  }

  std::uint32_t GetTipTextColor() override { return foreground_; }

  void SetTipTextColor(std::uint32_t color) override {
    foreground_ = color & 0xFFFFFF;
    ApplyColors();
  }

  bool SetTitle(int icon, const QString& title) override {
    icon_ = icon;
    title_ = title;
    Redraw();
    return true;
  }

  std::uint32_t GetBubbleSize(const ToolRecord& tool) override {
    const auto found = Find(tool);
    if (found == tools_.end() || bubble_ == nullptr) {
      return 0;
    }
    const QSize size = LayOutBubble(Content(found->record), bubble_->font()).size;
    return (static_cast<std::uint32_t>(size.width()) & 0xFFFF) |
           (static_cast<std::uint32_t>(size.height()) << 16);
  }

  bool AdjustRect(bool larger, TipRect& rect) override {
    AdjustBubbleRect(larger, margin_, rect);
    return true;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Enter:
        Hover(watched);
        break;
      case QEvent::Leave:
      case QEvent::MouseButtonPress:
      case QEvent::Hide:
        if (hovered_ == watched) {
          hovered_ = nullptr;
          initialTimer_.stop();
          if (!tracking_) {
            HideBubble();
          }
        }
        break;
      default:
        break;
    }
    return false;
  }

 private:
  std::vector<Tool>::iterator Find(const ToolRecord& tool) {
    return std::find_if(tools_.begin(), tools_.end(),
                        [&tool](const Tool& t) { return SameTool(t.record, tool); });
  }

  const Tool* ToolOf(const QObject* control) const {
    const auto found = std::find_if(tools_.begin(), tools_.end(),
                                    [control](const Tool& t) { return t.control == control; });
    return found == tools_.end() ? nullptr : &*found;
  }

  BubbleContent Content(const ToolRecord& tool) const {
    return {tool.text, title_, icon_, maxTipWidth_, margin_};
  }

  bool IsShowing(const ToolRecord& tool) const {
    return bubble_ != nullptr && bubble_->isVisible() && showing_ && SameTool(shown_, tool);
  }

  void Hover(const QObject* control) {
    const Tool* tool = ToolOf(control);
    if (tool == nullptr || !active_ || tracking_) {
      return;
    }
    hovered_ = control;
    // Moving from one tip to the next takes the shorter reshow delay.
    const bool reshow = bubble_ != nullptr && bubble_->isVisible();
    initialTimer_.start(reshow ? reshow_ : initial_);
  }

  void ShowHovered() {
    const Tool* tool = ToolOf(hovered_);
    if (tool == nullptr || !ShowBubble(tool->record, QCursor::pos() + kBelowCursor)) {
      return;
    }
    if (autoPop_ > 0) {
      autoPopTimer_.start(autoPop_);
    }
  }

  void ShowTracked() {
    const auto found = Find(tracked_);
    if (found != tools_.end()) {
      ShowBubble(found->record, trackPoint_);
    }
  }

  // A tip without text, or of an inactive window, is never shown.
  bool ShowBubble(const ToolRecord& tool, const QPoint& at) {
    if (bubble_ == nullptr || !active_ || tool.text.isEmpty()) {
      return false;
    }
    shown_ = tool;
    showing_ = true;
    bubble_->Show(Content(tool), at);
    return true;
  }

  void Redraw() {
    if (bubble_ == nullptr || !showing_ || !bubble_->isVisible()) {
      return;
    }
    const auto found = Find(shown_);
    if (found == tools_.end() || !ShowBubble(found->record, bubble_->pos())) {
      HideBubble();
    }
  }

  void HideBubble() {
    initialTimer_.stop();
    autoPopTimer_.stop();
    showing_ = false;
    if (bubble_ != nullptr) {
      bubble_->hide();
    }
  }

  void ApplyColors() {
    if (bubble_ != nullptr) {
      bubble_->SetColors(FromColorRef(background_), FromColorRef(foreground_));
    }
  }

  void Forget(const QObject* gone) {
    if (hovered_ == gone) {
      hovered_ = nullptr;
    }
    const auto first = std::remove_if(tools_.begin(), tools_.end(),
                                      [gone](const Tool& t) { return t.control == gone; });
    if (first == tools_.end()) {
      return;
    }
    const bool shownGone = showing_ && std::any_of(first, tools_.end(), [this](const Tool& t) {
                             return SameTool(t.record, shown_);
                           });
    tools_.erase(first, tools_.end());
    if (tracking_ && Find(tracked_) == tools_.end()) {
      tracking_ = false;
    }
    if (shownGone) {
      HideBubble();
    }
  }

  QPointer<TipBubble> bubble_;
  WindowHandle handle_ = 0;
  std::vector<Tool> tools_;
  bool active_ = true;
  int initial_ = 0;
  int autoPop_ = 0;
  int reshow_ = 0;
  int maxTipWidth_ = -1;
  TipRect margin_;
  std::uint32_t background_ = 0;
  std::uint32_t foreground_ = 0;
  int icon_ = tip::kIconNone;
  QString title_;
  const QObject* hovered_ = nullptr;
  bool tracking_ = false;
  ToolRecord tracked_;
  QPoint trackPoint_;
  bool showing_ = false;
  ToolRecord shown_;
  QTimer initialTimer_;
  QTimer autoPopTimer_;
};

}  // namespace

std::unique_ptr<TooltipWindow> TooltipWindow::Create(WindowHandle owner, std::uint32_t /*style*/) {
  QWidget* parent = WidgetOf(owner);
  if (parent == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    return nullptr;
  }
  return std::make_unique<PosixTooltipWindow>(parent);
}

}  // namespace qm::platform
