// Start-up of the window: everything between creating the window object and
// the moment the user sees the filled dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <exception>
#include <functional>

#include "engine/query/search_field.h"
#include "hostlib/host_library.h"
#include "platform/user_language.h"
#include "startup/app_icons.h"
#include "startup/folder_icons.h"
#include "startup/search_history.h"
#include "startup/search_option_settings.h"
#include "text/texts.h"
#include "window/frm_main.h"

namespace qm {

namespace {

// Where the system's Tahoma sets its lines a pixel further apart (Windows),
// the German description needs a fourth line more than its label holds. The
// white band under the label has room for it, so the label grows into the
// band rather than cut the last line off.
void GrowIntoBand(QLabel& label, const QWidget& band) {
  const int needed = label.heightForWidth(label.width());
  const int room = band.geometry().bottom() + 1 - label.y();
  if (needed > label.height()) {
    label.resize(label.width(), std::min(needed, room));
  }
}

}  // namespace

namespace {

// From the font step on, a step that fails is passed over and start-up goes
// on with the next one; the window opens in every case.
void Skippable(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

}  // namespace

void frmMain::Load() {
  installation_ = DiscoverHostInstallation();
  LoadIcons();
  Skippable([this] { SetFonts(); });
  Skippable([this] { LoadHistory(); });
  Skippable([this] { LoadOptions(); });
  SetCaptions();
  Skippable([this] { NameControls(); });
  Skippable([this] { CreateHost(); });
  InitialSelection();
}

void frmMain::LoadIcons() {
  const bool modernChosen =
      startup::ChooseModernIconSet(windowsVersion_, installation_.installFolder);
  // A library that exists but cannot be read gives the classic folder icons;
  // the window's own icon and logo then stay classic too, so that the
  // appearance is never half one, half the other.
  modernAppearance_ =
      startup::FillFolderIcons(imlFolders,
                               modernChosen ? startup::IconSet::Modern : startup::IconSet::Classic,
                               installation_.installFolder) == startup::IconSet::Modern;
  if (!modernAppearance_) {
    return;
  }
  // The design-time icon goes; the application's icon is given to the
  // system window, which therefore has to exist now.
  setWindowIcon(QIcon());
  winId();
  startup::ShowApplicationIcon(*windowHandle());
  picLogo->show();
  picLogo->raise();
  // A pixmap label keeps the drawn logo across repaints by itself.
  picLogo->setPixmap(QPixmap::fromImage(startup::ApplicationLogo()));
}

void frmMain::SetFonts() {
  const QString face = QStringLiteral("Tahoma");
  QFont windowFont = font();
  windowFont.setFamily(face);
  setFont(windowFont);
  for (QWidget* control : findChildren<QWidget*>()) {
    QFont f = control->font();
    f.setFamily(face);
    control->setFont(f);
  }
}

void frmMain::LoadHistory() {
  const QStringList items =
      LoadSearchHistory(installation_.SettingsKey(), platform::GetUserDefaultLangID());
  cboTextToSearch->addItems(items);
  // Adding items must not put one of them into the box: the search text
  // starts empty.
  cboTextToSearch->setCurrentIndex(-1);
  cboTextToSearch->setEditText(QString());
}

void frmMain::LoadOptions() { ShowSearchOptions(LoadSearchOptions(installation_.SettingsKey())); }

void frmMain::SetCaptions() {
  // In the design's order, each on its own, so that a failing assignment
  // skips only itself.
  const std::function<void()> steps[] = {
      [this] { setWindowTitle(Text(text_id::kCaption)); },
      [this] {
        lblFolder->setText(Text(text_id::kFolderLabel));
        lblFolder->adjustSize();
      },
      [this] { cmdPickFolder->setText(Text(text_id::kBrowse)); },
      [this] { chkRecursion->setText(Text(text_id::kIncludeSubfolders)); },
      [this] { cmdQuery->setText(Text(text_id::kVerifyMatches)); },
      [this] { lblTextToSearch->setText(Text(text_id::kSearchFor)); },
      [this] { lblField->setText(Text(text_id::kSearchIn)); },
      [this] {
        for (const FieldRecord& field : kFields) {
          cboField->addItem(Text(field.textId));
        }
      },
      [this] { cboField->setCurrentIndex(0); },
      [this] {
        lblProgress->setText(Text(text_id::kNotesLabel));
        lblProgress->adjustSize();
      },
      [this] {
        lblDesc->setText(Text(text_id::kDescription));
        GrowIntoBand(*lblDesc, *Shape1);
      },
      [this] { optRemove->setText(Text(text_id::kRemoveOption)); },
      [this] { optReplace->setText(Text(text_id::kReplaceWith)); },
      [this] { Frame1->setTitle(Text(text_id::kStepFolder)); },
      [this] { Frame2->setTitle(Text(text_id::kStepSearch)); },
      [this] { Frame3->setTitle(Text(text_id::kStepReplace)); },
      [this] { cmdStart->setText(Text(text_id::kStartReplace)); },
      [this] { cmdExit->setText(Text(text_id::kExit)); },
  };
  for (const auto& step : steps) {
    Skippable(step);
  }
}

void frmMain::CreateHost() { hostApplication_ = CreateHostApplication(); }

void frmMain::InitialSelection() {
  // The folder, the label and the icon are steps of their own: a collection
  // whose root cannot be fetched still names itself in the label, and an
  // icon that cannot be shown leaves the label standing.
  constexpr std::int32_t kRootFolderId = 1;
  std::shared_ptr<HostCollection> collection;
  Skippable([&] { collection = RequireHost().DefaultCollection(); });
  if (!collection) {
    return;
  }
  Skippable([&] { selectedFolder = collection->GetFolder(kRootFolderId); });
  Skippable(
      [&] { lblSelectedFolder->setText(collection->Name() + Text(text_id::kEntireCollection)); });
  Skippable([&] { ShowFolderIcon(collection->ID(), kRootFolderId); });
}

}  // namespace qm
