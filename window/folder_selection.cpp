// The start folder: the Browse command and the icon shown beside its name
// (its initial choice is a step of start-up, in frm_main_load.cpp).
#include <QCheckBox>
#include <QLabel>
#include <QPixmap>

#include "hostlib/folder_icons.h"
#include "hostlib/host_library.h"
#include "platform/error.h"
#include "text/texts.h"
#include "window/frm_main.h"
#include "window/twips.h"

namespace qm {
namespace {

constexpr std::int32_t kRootFolderId = 1;
constexpr std::int32_t kNewDocumentsFolderId = 400;
// The chooser's place and size, in twips, relative to the window.
constexpr int kChooserOffsetLeft = 200;
constexpr int kChooserOffsetTop = 1000;
constexpr int kChooserWidth = 7000;
constexpr int kChooserHeight = 6700;

}  // namespace

HostApplication& frmMain::RequireHost() const {
  if (!hostApplication_) {
    throw Error(91, QStringLiteral("QMReplace"), Text(own_text::kNoHost));
  }
  return *hostApplication_;
}

int frmMain::FolderIconNumber(std::int32_t collectionId, std::int32_t folderId) const {
  if (folderId == kNewDocumentsFolderId) {
    return folder_icons::kNewDocuments;
  }
  HostApplication& host = RequireHost();
  const std::shared_ptr<HostCollection> collection =
      host.Collections()->Item(QString::number(collectionId));
  if (folderId == kRootFolderId) {
    const bool isDefault = collectionId == host.DefaultCollection()->ID();
    return folder_icons::CollectionPosition(collection->Kind(), isDefault);
  }
  return folder_icons::SymbolPosition(collection->GetFolder(folderId)->IconIndex());
}

void frmMain::ShowFolderIcon(std::int32_t collectionId, std::int32_t folderId) {
  const int number = FolderIconNumber(collectionId, folderId);
  imgFolderSelected->setPixmap(QPixmap::fromImage(imlFolders.Image(number)));
}

void frmMain::BrowseForFolder() {
  HostApplication& host = RequireHost();
  const QString caption = Text(text_id::kChooseFolderCaption);
  const QString prompt = Text(text_id::kChooseFolderPrompt);
  const QRect frame = frameGeometry();
  std::int32_t left = PixelsToTwips(frame.x()) + kChooserOffsetLeft;
  std::int32_t top = PixelsToTwips(frame.y()) + kChooserOffsetTop;
  std::int32_t width = kChooserWidth;
  std::int32_t height = kChooserHeight;
  std::shared_ptr<HostFolder> folder =
      host.ChooseFolder(this, caption, prompt, 0, left, top, width, height, 0, 0, 0, 0);
  if (!folder) {
    return;
  }
  // Everything is asked of the host before anything changes, so that a host
  // failing half-way leaves the earlier choice whole.
  const std::shared_ptr<HostCollection> collection = folder->Collection();
  const std::int32_t folderId = folder->ID();
  const std::int32_t collectionId = collection->ID();
  const bool isRoot = folderId == kRootFolderId;
  const QString label =
      isRoot ? collection->Name() + Text(text_id::kEntireCollection)
             : folder->Name() + QStringLiteral(" (") + collection->Name() + QStringLiteral(")");
  const bool hasSubfolders = !isRoot && folder->SubFolders()->Count() != 0;
  const int iconNumber = FolderIconNumber(collectionId, folderId);

  selectedFolder = folder;
  lblSelectedFolder->setText(label);
  if (isRoot) {
    chkRecursion->hide();
    chkRecursion->setChecked(true);
  } else {
    chkRecursion->setVisible(hasSubfolders);
  }
  imgFolderSelected->setPixmap(QPixmap::fromImage(imlFolders.Image(iconNumber)));
  SetNotes(QStringLiteral("-"));
}

}  // namespace qm
