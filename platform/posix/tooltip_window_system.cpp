// What the Linux tooltip takes from the system around it: which handles name
// windows, the system colours and text measurement.
#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

#include <iterator>

#include "platform/posix/tooltip_window_bubble.h"
#include "platform/tooltip_window.h"

namespace qm::platform {

bool IsWindowHandle(WindowHandle handle) { return WidgetOf(handle) != nullptr; }

std::uintptr_t ProgramInstance() { return 0; }

bool SystemColor(int index, std::uint32_t& color) {
  // The Windows system colours by index, taken from the matching roles of
  // the application's palette. Index 25 is not a colour on Windows either.
  struct Entry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
  };
  constexpr QPalette::ColorGroup A = QPalette::Active;
  constexpr QPalette::ColorGroup D = QPalette::Disabled;
  static constexpr Entry kColors[] = {
      {A, QPalette::Button},
      {A, QPalette::Dark},
      {A, QPalette::Highlight},
      {A, QPalette::Mid},
      {A, QPalette::Window},
      {A, QPalette::Base},
      {A, QPalette::Shadow},
      {A, QPalette::WindowText},
      {A, QPalette::Text},
      {A, QPalette::HighlightedText},
      {A, QPalette::Window},
      {A, QPalette::Window},
      {A, QPalette::Dark},
      {A, QPalette::Highlight},
      {A, QPalette::HighlightedText},
      {A, QPalette::Button},
      {A, QPalette::Dark},
      {D, QPalette::Text},
      {A, QPalette::ButtonText},
      {D, QPalette::WindowText},
      {A, QPalette::Light},
      {A, QPalette::Shadow},
      {A, QPalette::Midlight},
      {A, QPalette::ToolTipText},
      {A, QPalette::ToolTipBase},
      {A, QPalette::NoRole},
      {A, QPalette::Link},
      {A, QPalette::Highlight},
      {A, QPalette::Mid},
      {A, QPalette::Highlight},
      {A, QPalette::Window},
  };
  if (index < 0 || index >= static_cast<int>(std::size(kColors)) ||
      kColors[index].role == QPalette::NoRole) {
    return false;
  }
  const QPalette palette = QGuiApplication::palette();
  color = ToColorRef(palette.color(kColors[index].group, kColors[index].role));
  return true;
}

DeviceContext::DeviceContext(const QWidget& control)
    : window_(static_cast<std::uintptr_t>(control.winId())), handle_(window_) {}

DeviceContext::~DeviceContext() = default;

bool TextExtent(std::uintptr_t hDC, const QString& text, std::int32_t& cx, std::int32_t& cy) {
  const QWidget* widget = WidgetOf(hDC);
  if (widget == nullptr) {
    return false;
  }
  const QSize size = widget->fontMetrics().size(Qt::TextSingleLine, text);
  cx = size.width();
  cy = size.height();
  return true;
}

}  // namespace qm::platform
