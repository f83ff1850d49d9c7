#include "engine/query/folder_scope.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace qm {

namespace {

bool TakesPart(std::int32_t id) {
  if (id > 1000) {
    return true;
  }
  switch (id) {
    case 1:
    case 200:
    case 300:
    case 400:
    case 600:
    case 700:
      return true;
    default:
      return false;
  }
}

void AppendId(QString& list, std::int32_t id) {
  if (!list.isEmpty()) {
    list.append(u',');
  }
  list.append(QString::number(id));
}

// One level of the walk: a folder list and how far it has been walked.
struct Level {
  std::shared_ptr<HostFolderList> folders;
  std::int32_t count;
  std::int32_t next;
};

// Entering a level is where the check box is read, once per level. The count
// is read when the level is entered; a list the host reports as empty is
// never entered.
void Enter(std::vector<Level>& stack, std::shared_ptr<HostFolderList> folders, std::int32_t count,
           FolderWalkEvents& events) {
  if (events.IncludeSubfolders()) {
    stack.push_back(Level{std::move(folders), count, 0});
  }
}

void Walk(std::shared_ptr<HostFolderList> top, std::int32_t topCount, QString& list,
          FolderWalkEvents& events) {
  std::vector<Level> stack;
  Enter(stack, std::move(top), topCount, events);
  while (!stack.empty()) {
    Level& level = stack.back();
    if (level.next >= level.count) {
      stack.pop_back();
      continue;
    }
    const std::shared_ptr<HostFolder> folder = level.folders->Item(level.next++);
    events.ProcessEvents();
    const std::int32_t id = folder->ID();
    if (!TakesPart(id)) {
      continue;
    }
    AppendId(list, id);
    std::shared_ptr<HostFolderList> subFolders = folder->SubFolders();
    const std::int32_t count = subFolders->Count();
    if (count > 0) {
      Enter(stack, std::move(subFolders), count, events);  // `level` is not used after this
    }
  }
}

}  // namespace

void BuildFolderIdList(const HostFolder& item, QString& list, FolderWalkEvents& events) {
  const std::int32_t id = item.ID();
  std::shared_ptr<HostFolderList> subFolders = item.SubFolders();
  if (id > 1) {
    list = QString::number(id);
  }
  const std::int32_t count = subFolders->Count();
  Walk(std::move(subFolders), count, list, events);
}

void BuildFolderIdList(const std::shared_ptr<HostFolderList>& item, QString& list,
                       FolderWalkEvents& events) {
  Walk(item, item->Count(), list, events);
}

std::optional<QueryScope> DecideScope(const HostFolder& startFolder, FolderWalkEvents& events) {
  if (startFolder.ID() == 1) {
    return QueryScope::WholeCollection();
  }
  QString list;
  BuildFolderIdList(startFolder, list, events);
  if (list.isEmpty()) {
    return std::nullopt;
  }
  return QueryScope::Folders(list);
}

}  // namespace qm
