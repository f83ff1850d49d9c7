// What screen readers call the window's controls, and the option toggles'
// tooltips and accelerators, in the user's language.
//
// On Windows a reader names a box by the label before it in the tab order;
// Qt asks the box's accessible name first, then its label's text (the
// label's buddy). Both are set here, so that every system reads the same
// name, the label's own text.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include "text/texts.h"
#include "window/frm_main.h"
#include "window/labelled_text.h"
#include "window/option_toggles.h"

namespace qm {

namespace {

void Name(QWidget& control, const QString& label, const QString& description) {
  control.setAccessibleName(WithoutAccelerator(label));
  control.setAccessibleDescription(description);
}

}  // namespace

void frmMain::NameControls() {
  lblField->setBuddy(cboField);
  lblTextToSearch->setBuddy(cboTextToSearch->isHidden() ? static_cast<QWidget*>(txtTextToSearch)
                                                        : cboTextToSearch);
  Name(*cboField, lblField->text(), Text(control_text::kFieldListHelp));
  Name(*cboTextToSearch, lblTextToSearch->text(), Text(control_text::kSearchHistoryHelp));
  // Readers meet the editable box's own line edit as a child of its own.
  if (QLineEdit* typed = cboTextToSearch->lineEdit()) {
    Name(*typed, lblTextToSearch->text(), Text(control_text::kSearchHistoryHelp));
  }
  Name(*txtTextToSearch, lblTextToSearch->text(), Text(control_text::kSearchBoxHelp));
  // The replacement box's label is the option that turns it on.
  Name(*txtTextToReplace, optReplace->text(), Text(control_text::kReplacementHelp));
  Name(*chkRecursion, chkRecursion->text(), Text(control_text::kSubfoldersHelp));
  // The notes line is named by its label and its note together.
  NameTextByItsLabel(*lblNotes, *lblProgress);
  lblNotes->setAccessibleDescription(Text(control_text::kNotesHelp));

  const struct {
    QToolButton* toggle;
    int name;
    int description;
  } toggles[] = {
      {tglMatchCase, control_text::kMatchCase, control_text::kMatchCaseHelp},
      {tglWholeWords, control_text::kWholeWords, control_text::kWholeWordsHelp},
      {tglPattern, control_text::kPattern, control_text::kPatternHelp},
      {tglPreserveCase, control_text::kPreserveCase, control_text::kPreserveCaseHelp},
  };
  for (const auto& t : toggles) {
    NameOptionToggle(*t.toggle, Text(t.name), Text(t.description));
  }
}

}  // namespace qm
