#include "window/option_toggles.h"

#include <QComboBox>
#include <QEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include <utility>

namespace qm {

namespace {

QLineEdit* TextOf(QWidget* box) {
  if (auto* combo = qobject_cast<QComboBox*>(box)) {
    return combo->lineEdit();
  }
  return qobject_cast<QLineEdit*>(box);
}

// The part of the box that shows the text, in the coordinates of the box's
// parent: the combo box's own line edit, left of its arrow; a pixel inside a
// plain box's frame, so that a pressed toggle never covers the frame.
QRect TextArea(QWidget* box) {
  QLineEdit* text = TextOf(box);
  if (text == nullptr) {
    return {};
  }
  if (text != box) {
    return {text->mapTo(box->parentWidget(), QPoint(0, 0)), text->size()};
  }
  const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box) + 1;
  return box->geometry().adjusted(frame, frame, -frame, -frame);
}

// A little wider than high, as the glyphs are.
int ToggleWidth(const QRect& area) { return area.height() + 2; }

}  // namespace

QToolButton* MakeOptionToggle(QWidget* parent, const char* objectName, const QString& glyph,
                              bool underlined) {
  auto* toggle = new QToolButton(parent);
  toggle->setObjectName(QLatin1String(objectName));
  toggle->setCheckable(true);
  // Flat until pointed at, pressed in while on: the state reads at a glance.
  toggle->setAutoRaise(true);
  toggle->setToolButtonStyle(Qt::ToolButtonTextOnly);
  toggle->setFocusPolicy(Qt::NoFocus);
  toggle->setText(glyph);
  if (underlined) {
    QFont font = toggle->font();
    font.setUnderline(true);
    toggle->setFont(font);
  }
  return toggle;
}

QString WithoutAccelerator(const QString& caption) {
  QString plain;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&')) {
      if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
        plain += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    plain += caption[i];
  }
  return plain;
}

void NameOptionToggle(QToolButton& toggle, const QString& nameWithAccelerator,
                      const QString& description) {
  // Set after the glyph: a button's text sets its shortcut from the text.
  const QKeySequence accelerator = QKeySequence::mnemonic(nameWithAccelerator);
  toggle.setShortcut(accelerator);
  const QString name = WithoutAccelerator(nameWithAccelerator);
  toggle.setAccessibleName(name);
  toggle.setAccessibleDescription(description);
  toggle.setToolTip(
      accelerator.isEmpty()
          ? name
          : QStringLiteral("%1 (%2)").arg(name, accelerator.toString(QKeySequence::NativeText)));
}

InBoxToggles::InBoxToggles(std::vector<QToolButton*> toggles, std::vector<QWidget*> boxes)
    : QObject(boxes.front()->parentWidget()),
      toggles_(std::move(toggles)),
      boxes_(std::move(boxes)) {
  for (QWidget* box : boxes_) {
    box->installEventFilter(this);
    // A combo box lays out its line edit after its own resize: follow that.
    if (QLineEdit* text = TextOf(box); text != nullptr && text != box) {
      text->installEventFilter(this);
    }
  }
  Place();
}

bool InBoxToggles::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
      Place();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void InBoxToggles::Place() {
  const int count = static_cast<int>(toggles_.size());
  QWidget* shown = nullptr;
  for (QWidget* box : boxes_) {
    const QRect area = TextArea(box);
    if (QLineEdit* text = TextOf(box)) {
      text->setTextMargins(0, 0, count * ToggleWidth(area) + 1, 0);
    }
    if (shown == nullptr && !box->isHidden()) {
      shown = box;
    }
  }
  if (shown == nullptr) {
    return;
  }
  const QRect area = TextArea(shown);
  const int width = ToggleWidth(area);
  int left = area.right() + 1 - count * width;
  for (QToolButton* toggle : toggles_) {
    toggle->setGeometry(left, area.top(), width, area.height());
    toggle->raise();
    left += width;
  }
}

}  // namespace qm
