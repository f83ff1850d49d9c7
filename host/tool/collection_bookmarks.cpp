#include "host/tool/collection_bookmarks.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/admin/host_admin.h"
#include "host/tool/document_stream.h"

namespace qm::qmhost {

namespace {

using host::BookmarkItem;

constexpr std::int32_t kRootFolder = 1;
constexpr std::int32_t kNewDocumentsFolder = 400;
constexpr std::int32_t kLastReservedFolder = 1000;

QString NullIfEmpty(const QString& text) { return text.isEmpty() ? QString() : text; }

}  // namespace

ImportCounts ImportBookmarkTree(std::int32_t collectionId, const host::BookmarkTree& tree) {
  ImportCounts counts;
  hostadmin::CollectionWriter writer(collectionId);
  struct Frame {
    const std::vector<BookmarkItem>* list;
    std::size_t next;
    std::int32_t folderId;
  };
  std::vector<Frame> stack{{&tree.items, 0, kRootFolder}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.list->size()) {
      stack.pop_back();
      continue;
    }
    const BookmarkItem& item = (*frame.list)[frame.next++];
    const std::int32_t folderId = frame.folderId;  // frame dies with the next push
    if (item.kind == BookmarkItem::Kind::Folder) {
      const std::int32_t id = writer.AddFolder(folderId, item.title, item.symbol);
      ++counts.folders;
      if (!item.description.isEmpty()) ++counts.folderDescriptions;
      stack.push_back({&item.children, 0, id});
      continue;
    }
    hostadmin::NewDocument document;
    document.folderId = folderId == kRootFolder ? kNewDocumentsFolder : folderId;
    document.title = NullIfEmpty(item.title);
    document.comment = NullIfEmpty(item.description);
    document.url = NullIfEmpty(item.url);
    writer.AddDocument(document);
    ++counts.documents;
  }
  writer.Commit();
  return counts;
}

host::BookmarkTree ExportBookmarkTree(std::int32_t collectionId) {
  host::BookmarkTree tree;
  for (const auto& collection : hostadmin::ListCollections()) {
    if (collection.id == collectionId) tree.title = collection.name;
  }
  const std::vector<hostadmin::FolderInfo> folders = hostadmin::FolderTree(collectionId);
  std::unordered_map<std::int32_t, std::vector<BookmarkItem>> linksIn;
  ForEachDocument(collectionId, std::nullopt, [&linksIn](const hostadmin::DocumentInfo& d) {
    BookmarkItem link;
    link.title = d.title;
    link.url = d.url;
    link.description = d.comment;
    linksIn[d.folderId].push_back(std::move(link));
  });
  std::unordered_map<std::int32_t, std::vector<std::int32_t>> childrenOf;
  for (const auto& folder : folders) {
    if (folder.id != kRootFolder) childrenOf[folder.parentId].push_back(folder.id);
  }
  // The tree comes parents first, so walking it backwards finishes every
  // folder's subfolders before the folder itself; no recursion, any depth.
  std::unordered_map<std::int32_t, BookmarkItem> built;
  auto takeLinks = [&](std::int32_t id, std::vector<BookmarkItem>& into) {
    auto found = linksIn.find(id);
    if (found == linksIn.end()) return;
    for (auto& link : found->second) into.push_back(std::move(link));
    linksIn.erase(found);
  };
  auto takeChildren = [&](std::int32_t id, std::vector<BookmarkItem>& into) {
    for (const std::int32_t child : childrenOf[id]) {
      auto found = built.find(child);
      if (found == built.end()) continue;
      into.push_back(std::move(found->second));
      built.erase(found);
    }
  };
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
    if (it->id == kRootFolder || it->id == kNewDocumentsFolder) continue;
    BookmarkItem item;
    item.kind = BookmarkItem::Kind::Folder;
    item.title = it->name;
    item.symbol = it->iconIndex >= 0 && it->iconIndex <= 22 ? it->iconIndex : 0;
    takeChildren(it->id, item.children);
    takeLinks(it->id, item.children);
    const bool hostFolder = it->id <= kLastReservedFolder;
    if (hostFolder && item.children.empty()) continue;
    built.emplace(it->id, std::move(item));
  }
  takeChildren(kRootFolder, tree.items);
  takeChildren(kNewDocumentsFolder, tree.items);
  takeLinks(kRootFolder, tree.items);
  takeLinks(kNewDocumentsFolder, tree.items);
  // Documents of a folder the tree does not show are not left out either.
  std::vector<std::int32_t> strays;
  for (const auto& entry : linksIn) strays.push_back(entry.first);
  std::sort(strays.begin(), strays.end());
  for (const std::int32_t folderId : strays) takeLinks(folderId, tree.items);
  return tree;
}

}  // namespace qm::qmhost
