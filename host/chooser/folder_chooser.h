// The host's modal folder chooser: the tree of every collection and its
// folders, with a caption and a prompt, OK and Cancel.
//
// A collection's node stands for its root folder (ID 1). Subfolders are
// filled in when a node is first expanded, so that a collection of a
// hundred thousand folders opens at once.
//
// Its icons are the host's own (chooser_icons.h). Tests drive the dialog
// through SetFolderChooserScript instead of the event loop.
#pragma once

#include <QDialog>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "host/chooser/chooser_icons.h"
#include "host/lib/folder_chooser_seam.h"
#include "hostlib/host_library.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qm::host {

class FolderChooserDialog : public QDialog {
 public:
  // geometry is in pixels relative to the screen's top left; an empty size
  // takes a default one. The dialog is kept on the screen.
  FolderChooserDialog(std::vector<ChooserCollection> collections, QWidget* owner,
                      const QString& caption, const QString& prompt, const QRect& geometry,
                      ChooserIcons icons = {});
  ~FolderChooserDialog() override;

  // The folder of the chosen node, or nullptr when none is chosen.
  std::shared_ptr<HostFolder> ChosenFolder() const;

  // Chooses a node as a click would; false when there is none such.
  bool SelectFolder(std::int32_t collectionId, std::int32_t folderId);

  QTreeWidget* tree() const { return tree_; }
  QLabel* promptLabel() const { return prompt_; }
  QPushButton* okButton() const { return ok_; }

 private:
  void AddCollections();
  QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, std::shared_ptr<HostFolder> folder,
                             std::int32_t collectionId);
  void FillChildren(QTreeWidgetItem* item);
  void PlaceOnScreen(QWidget* owner, const QRect& geometry);
  void UpdateOk();

  std::vector<ChooserCollection> collections_;
  ChooserIcons icons_;
  QLabel* prompt_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QPushButton* ok_ = nullptr;
  // The folder of every node; a collection's node holds its root.
  std::unordered_map<QTreeWidgetItem*, std::shared_ptr<HostFolder>> folders_;
  // Nodes whose subfolders are still to be filled in, with those
  // subfolders (the node holds a placeholder child so that it can be opened).
  std::unordered_map<QTreeWidgetItem*, std::shared_ptr<HostFolderList>> unfilled_;
};

// When set, ChooseFolder hands the ready dialog to the script instead of
// running it: the script chooses (SelectFolder) and returns true for OK,
// false for Cancel. An empty script restores the modal dialog.
using FolderChooserScript = std::function<bool(FolderChooserDialog&)>;
void SetFolderChooserScript(FolderChooserScript script);

// What HostApplication::ChooseFolder does: sizes in twips (15 to a pixel).
std::shared_ptr<HostFolder> RunFolderChooser(std::vector<ChooserCollection> collections,
                                             ChooserIcons icons, QWidget* owner,
                                             const QString& caption, const QString& prompt,
                                             std::int32_t left, std::int32_t top,
                                             std::int32_t width, std::int32_t height);

}  // namespace qm::host
