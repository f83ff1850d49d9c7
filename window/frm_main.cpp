#include "window/frm_main.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QToolButton>

#include "engine/query/search_field.h"
#include "hostlib/host_library.h"
#include "platform/text_fold.h"
#include "startup/app_icons.h"
#include "text/texts.h"
#include "window/history_window.h"
#include "window/option_toggles.h"
#include "window/run_progress_view.h"
#include "window/twips.h"

namespace qm {
namespace {

// The stop signal a click on Cancel leaves for the running command.
const char kTagProperty[] = "Tag";

template <typename W>
W* Place(W* widget, const char* name, const QRect& geometry) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(geometry);
  return widget;
}

// The field list steps through its entries with the arrow keys and typed
// letters as a Windows list does, keeping the focus; only a choice from the
// open list hands the focus on to the search box.
class FieldList final : public QComboBox {
 public:
  using QComboBox::QComboBox;
  bool Stepping() const { return stepping_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const QScopedValueRollback<bool> stepping(stepping_, true);
    QComboBox::keyPressEvent(event);
  }

 private:
  bool stepping_ = false;
};

// Labels show names of collections, folders and documents: never let such a
// name be taken for markup.
QLabel* PlainLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// The search text is exactly what the user typed or picked from the list.
// Qt's editable combo box would complete a typed "Dr" inline to a history
// entry, and on Enter or on leaving the box swap a text that matches an entry
// (without regard to case) for that entry and report it as picked, which
// switches the mode. Picking stays what it is on Windows: the list or the
// arrow keys.
void KeepWhatIsTyped(QComboBox* combo) {
  combo->setCompleter(nullptr);
  QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
}

void SetBackground(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(role, color);
  widget->setPalette(palette);
}

}  // namespace

frmMain::frmMain(QWidget* parent)
    : QDialog(parent), progress_(std::make_unique<RunProgressView>(*this)) {
  CreateControls();
  ConnectHandlers();
  InstallReview();
  InstallUndo();
  InstallHistory();
  Load();
}

frmMain::~frmMain() = default;

QString frmMain::Text(int id) const { return qm::Text(id, UserTextLanguage()); }

QAction* frmMain::AddContextCommand(const QString& text, const char* objectName,
                                    QKeySequence shortcut, void (frmMain::*handler)()) {
  auto* action = new QAction(text, this);
  action->setObjectName(QLatin1String(objectName));
  action->setShortcut(shortcut);
  action->setShortcutContext(Qt::WindowShortcut);
  addAction(action);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(action, &QAction::triggered, this, handler);
  return action;
}

void frmMain::CreateControls() {
  setObjectName(QStringLiteral("frmMain"));
  setFixedSize(TwipsToPixels(7065), TwipsToPixels(7380));
  setWindowTitle(QStringLiteral("frmMain"));

  Shape1 = Place(new QFrame(this), "Shape1", TwipsRect(0, 0, 7740, 990));
  Shape1->setAutoFillBackground(true);
  SetBackground(Shape1, QPalette::Window, Qt::white);

  lblDesc = Place(PlainLabel(this), "lblDesc", TwipsRect(210, 150, 5775, 705));
  lblDesc->setWordWrap(true);
  lblDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblDesc->setAutoFillBackground(true);
  SetBackground(lblDesc, QPalette::Window, Qt::white);

  setWindowIcon(startup::DesignTimeWindowIcon());
  imgCSLogo = Place(new QLabel(this), "imgCSLogo", TwipsRect(6405, 150, 480, 480));
  imgCSLogo->setPixmap(QPixmap::fromImage(startup::ClassicLogo()));
  picLogo = Place(new QLabel(this), "picLogo", TwipsRect(6360, 150, 570, 525));
  picLogo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picLogo->setAutoFillBackground(true);
  SetBackground(picLogo, QPalette::Window, Qt::white);
  picLogo->hide();

  Frame1 = Place(new QGroupBox(this), "Frame1", TwipsRect(165, 1185, 6735, 1590));
  picCollectionFolderHost =
      Place(new QWidget(Frame1), "picCollectionFolderHost", TwipsRect(240, 360, 6330, 1095));
  lblFolder = Place(PlainLabel(picCollectionFolderHost), "lblFolder", TwipsRect(0, 0, 0, 0));
  imgFolderSelected =
      Place(new QLabel(picCollectionFolderHost), "imgFolderSelected", TwipsRect(15, 315, 240, 240));
  lblSelectedFolder = Place(PlainLabel(picCollectionFolderHost), "lblSelectedFolder",
                            TwipsRect(330, 345, 5325, 255));
  lblSelectedFolder->setText(QStringLiteral("lblSelectedFolder"));
  cmdPickFolder = Place(new QPushButton(picCollectionFolderHost), "cmdPickFolder",
                        TwipsRect(0, 660, 1650, 348));
  chkRecursion = Place(new QCheckBox(picCollectionFolderHost), "chkRecursion",
                       TwipsRect(1830, 735, 3300, 195));
  chkRecursion->setChecked(true);
  chkRecursion->hide();

  Frame2 = Place(new QGroupBox(this), "Frame2", TwipsRect(165, 2970, 6735, 1365));
  picFindTextHost = Place(new QWidget(Frame2), "picFindTextHost", TwipsRect(210, 375, 6465, 900));
  lblField = Place(PlainLabel(picFindTextHost), "lblField", TwipsRect(0, 45, 1290, 225));
  cboField = Place(new FieldList(picFindTextHost), "cboField", TwipsRect(1365, 0, 3195, 315));
  lblTextToSearch =
      Place(PlainLabel(picFindTextHost), "lblTextToSearch", TwipsRect(0, 465, 1290, 225));
  txtTextToSearch =
      Place(new QLineEdit(picFindTextHost), "txtTextToSearch", TwipsRect(1365, 420, 3180, 300));
  cboTextToSearch =
      Place(new QComboBox(picFindTextHost), "cboTextToSearch", TwipsRect(1365, 420, 3195, 315));
  cboTextToSearch->setEditable(true);
  // Typed texts join the history only through its saved value, never here.
  cboTextToSearch->setInsertPolicy(QComboBox::NoInsert);
  KeepWhatIsTyped(cboTextToSearch);
  cboTextToSearch->raise();
  // Covered by the history box while the Title field is chosen (the
  // initial choice): nothing may be typed where nobody sees it.
  txtTextToSearch->setFocusPolicy(Qt::NoFocus);
  cmdQuery = Place(new QPushButton(picFindTextHost), "cmdQuery", TwipsRect(4695, 405, 1650, 345));

  Frame3 = Place(new QGroupBox(this), "Frame3", TwipsRect(165, 4530, 6735, 1470));
  picReplaceHost = Place(new QWidget(Frame3), "picReplaceHost", TwipsRect(210, 300, 6330, 1035));
  optRemove = Place(new QRadioButton(picReplaceHost), "optRemove", TwipsRect(0, 0, 4770, 315));
  optReplace = Place(new QRadioButton(picReplaceHost), "optReplace", TwipsRect(0, 300, 4770, 315));
  txtTextToReplace =
      Place(new QLineEdit(picReplaceHost), "txtTextToReplace", TwipsRect(1365, 630, 3195, 300));
  optReplace->setChecked(true);

  tglMatchCase = MakeOptionToggle(picFindTextHost, "tglMatchCase", QStringLiteral("Aa"));
  tglWholeWords = MakeOptionToggle(picFindTextHost, "tglWholeWords", QStringLiteral("ab"), true);
  tglPattern = MakeOptionToggle(picFindTextHost, "tglPattern", QStringLiteral(".*"));
  new InBoxToggles({tglMatchCase, tglWholeWords, tglPattern}, {cboTextToSearch, txtTextToSearch});
  tglPreserveCase = MakeOptionToggle(picReplaceHost, "tglPreserveCase", QStringLiteral("AB"));
  new InBoxToggles({tglPreserveCase}, {txtTextToReplace});

  lblProgress = Place(PlainLabel(this), "lblProgress", TwipsRect(180, 6165, 0, 0));
  lblNotes = Place(PlainLabel(this), "lblNotes", TwipsRect(1755, 6150, 4755, 405));
  lblNotes->setWordWrap(true);
  lblNotes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblNotes->setText(QStringLiteral("-"));

  cmdStart = Place(new QPushButton(this), "cmdStart", TwipsRect(3465, 6780, 1950, 375));
  cmdExit = Place(new QPushButton(this), "cmdExit", TwipsRect(5490, 6780, 1410, 375));
  // Enter clicks the button that has the focus, and the focused button wears
  // the default look meanwhile; everywhere else Enter belongs to Start.
  for (QPushButton* b : {cmdPickFolder, cmdQuery, cmdStart, cmdExit}) {
    b->setAutoDefault(true);
  }
  cmdStart->setDefault(true);
  cmdExit->setProperty(kTagProperty, QString());

  // The design's tab indices, lowest first; labels and containers take no focus.
  QWidget* tabOrder[] = {cmdStart,        cmdExit,    cmdPickFolder,   chkRecursion,
                         cboTextToSearch, cboField,   txtTextToSearch, cmdQuery,
                         optRemove,       optReplace, txtTextToReplace};
  for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
    setTabOrder(tabOrder[i - 1], tabOrder[i]);
  }
  cmdStart->setFocus();
  TabOnlyToTheSelectedOption();
}

void frmMain::ConnectHandlers() {
  connect(cboField, &QComboBox::activated, this, [this] { cboField_Click(); });
  connect(cboTextToSearch, &QComboBox::activated, this, [this] { cboTextToSearch_Click(); });
  connect(optRemove, &QRadioButton::clicked, this, [this] { optRemove_Click(); });
  connect(optReplace, &QRadioButton::clicked, this, [this] { optReplace_Click(); });
  connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
  connect(cmdPickFolder, &QPushButton::clicked, this, [this] { cmdPickFolder_Click(); });
  connect(cmdQuery, &QPushButton::clicked, this, [this] { cmdQuery_Click(); });
  connect(cmdStart, &QPushButton::clicked, this, [this] { cmdStart_Click(); });
  // Typing in the history box or the replacement box clears the notes line;
  // typing in the plain search box deliberately does not.
  cboTextToSearch->installEventFilter(this);
  if (cboTextToSearch->lineEdit() != nullptr) {
    cboTextToSearch->lineEdit()->installEventFilter(this);
  }
  txtTextToReplace->installEventFilter(this);
  for (QRadioButton* option : {optRemove, optReplace}) {
    option->installEventFilter(this);
    connect(option, &QRadioButton::toggled, this, [this] { TabOnlyToTheSelectedOption(); });
  }
}

void frmMain::TabOnlyToTheSelectedOption() {
  // A click still focuses either option; Tab lands on the selected one only,
  // so that Space there can never flip the mode by surprise.
  for (QRadioButton* option : {optRemove, optReplace}) {
    option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

bool frmMain::MoveOptionSelection(QRadioButton* from, int key) {
  if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Left && key != Qt::Key_Right) {
    return false;
  }
  // The arrows cycle through the group; with two options every arrow leads
  // to the other one. It is selected as a click selects it, handlers and all.
  QRadioButton* to = from == optRemove ? optReplace : optRemove;
  to->setFocus(Qt::TabFocusReason);
  to->click();
  return true;
}

void frmMain::SetNotes(const QString& text) { lblNotes->setText(text); }

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((watched == optRemove || watched == optReplace) &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        MoveOptionSelection(static_cast<QRadioButton*>(watched), key->key())) {
      return true;
    }
    const bool fromHistoryBox =
        watched == cboTextToSearch || watched == cboTextToSearch->lineEdit();
    if ((fromHistoryBox || watched == txtTextToReplace) && !key->text().isEmpty()) {
      SetNotes(QStringLiteral("-"));
    }
    // An editable combo box keeps Enter and Esc to itself; the window's
    // default and cancel buttons must still get them.
    if (fromHistoryBox && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                           key->key() == Qt::Key_Escape)) {
      keyPressEvent(key);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void frmMain::cboField_Click() {
  if (!isVisible()) {
    return;
  }
  SetNotes(QStringLiteral("-"));
  const auto* list = dynamic_cast<const FieldList*>(cboField);
  const bool stepping = list != nullptr && list->Stepping();
  QWidget* searchBox = nullptr;
  if (cboField->currentIndex() == static_cast<int>(SearchField::Title)) {
    cboTextToSearch->setEditText(QString());
    cboTextToSearch->show();
    txtTextToSearch->setFocusPolicy(Qt::NoFocus);
    searchBox = cboTextToSearch;
  } else {
    cboTextToSearch->hide();
    txtTextToSearch->setFocusPolicy(Qt::StrongFocus);
    txtTextToSearch->clear();
    searchBox = txtTextToSearch;
  }
  // Screen readers name the box that is shown by the label before it.
  lblTextToSearch->setBuddy(searchBox);
  if (!stepping) {
    searchBox->setFocus();
  }
}

void frmMain::cboTextToSearch_Click() {
  optRemove->setChecked(true);
  optRemove_Click();
}

SearchOptions frmMain::SearchOptionsChosen() const {
  SearchOptions options;
  options.matchCase = tglMatchCase->isChecked();
  options.wholeWords = tglWholeWords->isChecked();
  options.pattern = tglPattern->isChecked();
  options.preserveCase = tglPreserveCase->isChecked();
  return options;
}

void frmMain::ShowSearchOptions(const SearchOptions& options) {
  tglMatchCase->setChecked(options.matchCase);
  tglWholeWords->setChecked(options.wholeWords);
  tglPattern->setChecked(options.pattern);
  tglPreserveCase->setChecked(options.preserveCase);
}

void frmMain::optRemove_Click() {
  txtTextToReplace->setEnabled(false);
  // Inside the box, and as unavailable as the box; it keeps its state.
  tglPreserveCase->setEnabled(false);
  SetBackground(txtTextToReplace, QPalette::Base, palette().color(QPalette::Button));
  cmdStart->setText(Text(text_id::kStartRemove));
  SetNotes(QStringLiteral("-"));
}

void frmMain::optReplace_Click() {
  txtTextToReplace->setEnabled(true);
  tglPreserveCase->setEnabled(true);
  SetBackground(txtTextToReplace, QPalette::Base, palette().color(QPalette::Base));
  txtTextToReplace->setFocus();
  cmdStart->setText(Text(text_id::kStartReplace));
  SetNotes(QStringLiteral("-"));
}

void frmMain::cmdExit_Click() {
  if (EqualsIgnoringCase(cmdExit->text(), Text(text_id::kCancel))) {
    cmdExit->setProperty(kTagProperty, QStringLiteral("CANCELED"));
    return;
  }
  close();
}

void frmMain::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      cmdExit->click();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (cmdStart->isEnabled()) {
        cmdStart->click();
      }
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

}  // namespace qm
