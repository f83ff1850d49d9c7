#include "host/chooser/folder_chooser.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <deque>

#include "platform/error.h"

namespace qm::host {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kCollectionRole = Qt::UserRole;
constexpr int kFolderRole = Qt::UserRole + 1;
const QSize kDefaultSize(360, 420);

FolderChooserScript& Script() {
  static FolderChooserScript script;
  return script;
}

}  // namespace

void SetFolderChooserScript(FolderChooserScript script) { Script() = std::move(script); }

FolderChooserDialog::FolderChooserDialog(std::vector<ChooserCollection> collections, QWidget* owner,
                                         const QString& caption, const QString& prompt,
                                         const QRect& geometry, ChooserIcons icons)
    : QDialog(owner), collections_(std::move(collections)), icons_(std::move(icons)) {
  setWindowTitle(caption);
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  prompt_ = new QLabel(prompt, this);
  prompt_->setWordWrap(true);
  prompt_->setVisible(!prompt.isEmpty());
  layout->addWidget(prompt_);
  tree_ = new QTreeWidget(this);
  tree_->setHeaderHidden(true);
  tree_->setUniformRowHeights(true);
  layout->addWidget(tree_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(tree_, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* item) { FillChildren(item); });
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { UpdateOk(); });
  connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    // A double click on a folder without subfolders chooses it; on others
    // it only opens or closes the node, as a tree does.
    if (folders_.contains(item) && item->childCount() == 0) {
      accept();
    }
  });

  AddCollections();
  UpdateOk();
  PlaceOnScreen(owner, geometry);
}

FolderChooserDialog::~FolderChooserDialog() = default;

void FolderChooserDialog::AddCollections() {
  for (ChooserCollection& entry : collections_) {
    if (entry.collection) {
      try {
        const std::int32_t kind = entry.collection->Kind();
        auto* item = AddFolder(nullptr, entry.collection->GetFolder(1), entry.id);
        item->setText(0, entry.collection->Name());
        item->setIcon(0, icons_.Collection(kind));
        continue;
      } catch (const Error& error) {
        // A damaged collection must not keep the user from choosing in
        // the others.
        entry.collection = nullptr;
        entry.error = error.description();
      }
    }
    auto* item = new QTreeWidgetItem(tree_, {tr("Collection %1").arg(entry.id)});
    item->setToolTip(0, entry.error);
    item->setDisabled(true);
  }
  if (tree_->topLevelItemCount() == 1) {
    tree_->expandItem(tree_->topLevelItem(0));
  }
}

QTreeWidgetItem* FolderChooserDialog::AddFolder(QTreeWidgetItem* parent,
                                                std::shared_ptr<HostFolder> folder,
                                                std::int32_t collectionId) {
  // Everything that may fail comes before the node is made.
  auto subFolders = folder->SubFolders();
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
  item->setText(0, folder->Name());
  item->setIcon(0, icons_.Folder(folder->IconIndex()));
  item->setData(0, kCollectionRole, collectionId);
  item->setData(0, kFolderRole, folder->ID());
  if (subFolders->Count() > 0) {
    new QTreeWidgetItem(item);  // a placeholder, so that the node can be opened
    unfilled_[item] = std::move(subFolders);
  }
  folders_[item] = std::move(folder);
  return item;
}

void FolderChooserDialog::FillChildren(QTreeWidgetItem* item) {
  const auto found = unfilled_.find(item);
  if (found == unfilled_.end()) {
    return;
  }
  const std::shared_ptr<HostFolderList> subFolders = std::move(found->second);
  unfilled_.erase(found);
  delete item->takeChild(0);
  const std::int32_t collectionId = item->data(0, kCollectionRole).toInt();
  for (std::int32_t i = 0; i < subFolders->Count(); ++i) {
    AddFolder(item, subFolders->Item(i), collectionId);
  }
}

std::shared_ptr<HostFolder> FolderChooserDialog::ChosenFolder() const {
  const auto found = folders_.find(tree_->currentItem());
  return found == folders_.end() ? nullptr : found->second;
}

bool FolderChooserDialog::SelectFolder(std::int32_t collectionId, std::int32_t folderId) {
  std::deque<QTreeWidgetItem*> queue;
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* top = tree_->topLevelItem(i);
    if (folders_.contains(top) && top->data(0, kCollectionRole).toInt() == collectionId) {
      queue.push_back(top);
    }
  }
  while (!queue.empty()) {
    QTreeWidgetItem* item = queue.front();
    queue.pop_front();
    if (item->data(0, kFolderRole).toInt() == folderId) {
      for (QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent()) {
        tree_->expandItem(up);
      }
      tree_->setCurrentItem(item);
      return true;
    }
    FillChildren(item);
    for (int i = 0; i < item->childCount(); ++i) {
      queue.push_back(item->child(i));
    }
  }
  return false;
}

void FolderChooserDialog::UpdateOk() { ok_->setEnabled(ChosenFolder() != nullptr); }

void FolderChooserDialog::PlaceOnScreen(QWidget* owner, const QRect& geometry) {
  QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  const QSize size = geometry.size().isEmpty() ? kDefaultSize : geometry.size();
  resize(size);
  if (screen == nullptr) {
    move(geometry.topLeft());
    return;
  }
  // A position off the screen (another monitor layout, a stale setting)
  // would leave a modal dialog nobody can reach.
  const QRect available = screen->availableGeometry();
  const QPoint wanted = screen->geometry().topLeft() + geometry.topLeft();
  const int x =
      std::max(available.left(), std::min(wanted.x(), available.right() - size.width() + 1));
  const int y =
      std::max(available.top(), std::min(wanted.y(), available.bottom() - size.height() + 1));
  move(x, y);
}

std::shared_ptr<HostFolder> RunFolderChooser(std::vector<ChooserCollection> collections,
                                             ChooserIcons icons, QWidget* owner,
                                             const QString& caption, const QString& prompt,
                                             std::int32_t left, std::int32_t top,
                                             std::int32_t width, std::int32_t height) {
  const QRect geometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                       height / kTwipsPerPixel);
  FolderChooserDialog dialog(std::move(collections), owner, caption, prompt, geometry,
                             std::move(icons));
  const bool accepted = Script() ? Script()(dialog) : dialog.exec() == QDialog::Accepted;
  return accepted ? dialog.ChosenFolder() : nullptr;
}

}  // namespace qm::host
