#include "window/labelled_text.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

#include "window/option_toggles.h"

namespace qm {

namespace {

const char kLabelledProperty[] = "qmNamedByItsLabel";

// The label that names `text`: the sibling whose buddy it is.
const QLabel* LabelOf(const QLabel& text) {
  if (text.parentWidget() == nullptr) {
    return nullptr;
  }
  for (const QLabel* label :
       text.parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    if (label->buddy() == &text) {
      return label;
    }
  }
  return nullptr;
}

class LabelledText final : public QAccessibleWidget {
 public:
  explicit LabelledText(QLabel* text) : QAccessibleWidget(text, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) {
      return QAccessibleWidget::text(t);
    }
    const auto* text = static_cast<const QLabel*>(widget());
    const QLabel* label = LabelOf(*text);
    return label == nullptr ? text->text()
                            : WithoutAccelerator(label->text()) + QLatin1Char(' ') + text->text();
  }
};

QAccessibleInterface* LabelledTextFactory(const QString& className, QObject* object) {
  auto* text = qobject_cast<QLabel*>(object);
  if (text == nullptr || className != QLatin1String("QLabel") ||
      !text->property(kLabelledProperty).toBool()) {
    return nullptr;
  }
  return new LabelledText(text);
}

}  // namespace

void NameTextByItsLabel(QLabel& text, QLabel& label) {
  static const bool installed = [] {
    QAccessible::installFactory(LabelledTextFactory);
    return true;
  }();
  static_cast<void>(installed);
  label.setBuddy(&text);
  text.setProperty(kLabelledProperty, true);
  // Setting a label's text asks for its interface already, which is then
  // kept: let the next reader get the one that names it by its label.
  if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&text)) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

}  // namespace qm
