// The search options as small checkable buttons inside the boxes they
// govern, at the right end, as code editors show them: "Aa" match case, an
// underlined "ab" whole words and ".*" pattern in the search box, "AB"
// preserve case in the replacement box.
//
// They are laid over a box as its siblings rather than made its children,
// because the search box is two boxes that take turns (the history combo box
// for titles, a plain box for the other fields): the buttons sit inside
// whichever is shown, and every box keeps its text clear of them.
//
// They take no Tab stop, so that the dialog's tab order stays as designed;
// each is reached by its accelerator (Alt and the letter its name marks with
// "&", named in its tooltip), which toggles it and leaves the focus where the
// user is typing.
#pragma once

#include <QObject>
#include <QString>

#include <vector>

class QEvent;
class QToolButton;
class QWidget;

namespace qm {

// An option toggle, off, showing `glyph`; named `objectName`.
QToolButton* MakeOptionToggle(QWidget* parent, const char* objectName, const QString& glyph,
                              bool underlined = false);

// The name (with its accelerator marked by "&") and the description in the
// user's language: tooltip, accessible name and description, accelerator.
void NameOptionToggle(QToolButton& toggle, const QString& nameWithAccelerator,
                      const QString& description);

// A caption without its accelerator mark ("&&" stands for "&").
QString WithoutAccelerator(const QString& caption);

// Keeps the toggles inside the first of the boxes that is not hidden, and
// the text of every box clear of them, however the boxes move, resize or
// take turns. The toggles and the boxes share one parent; the boxes are
// QLineEdit or editable QComboBox. Owned by that parent.
class InBoxToggles final : public QObject {
 public:
  InBoxToggles(std::vector<QToolButton*> toggles, std::vector<QWidget*> boxes);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Place();

  std::vector<QToolButton*> toggles_;
  std::vector<QWidget*> boxes_;
};

}  // namespace qm
