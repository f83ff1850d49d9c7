// Which folders a search covers.
//
// A start folder that is the root of its collection (ID 1) stands for the
// whole collection. Any other start folder is listed itself and, while
// "Include subfolders" is checked, the folders below it, depth-first in the
// host's order, leaving out the host's reserved folders (IDs 2 to 1000 other
// than 200, 300, 400, 600 and 700, and IDs below 1) together with everything
// below them.
//
// The walk asks the window two things through FolderWalkEvents: whether
// subfolders are included (read again on every level, so the user's change
// during a long walk takes effect from the next level on), and to let
// pending events run once before each subfolder, so the window stays
// responsive. Host failures are not caught; they reach the caller.
#pragma once

#include <QString>

#include <memory>
#include <optional>

#include "engine/query/query_text.h"
#include "hostlib/host_library.h"

namespace qm {

class FolderWalkEvents {
 public:
  virtual ~FolderWalkEvents() = default;
  // The current state of the "Include subfolders" check box.
  virtual bool IncludeSubfolders() = 0;
  // Lets pending window events run once.
  virtual void ProcessEvents() = 0;
};

// Extends `list` in place. For a folder (the start folder), the list becomes
// its ID when that is greater than 1, and its subfolders are walked; for a
// folder list, its folders are walked. The walk keeps its own stack on the
// heap, so a chain of folders of any depth cannot exhaust the call stack.
void BuildFolderIdList(const HostFolder& item, QString& list, FolderWalkEvents& events);
void BuildFolderIdList(const std::shared_ptr<HostFolderList>& item, QString& list,
                       FolderWalkEvents& events);

// The scope of a search from `startFolder`: the whole collection for ID 1,
// otherwise its folder-ID list. A start folder below 1 whose walk lists
// nothing has no scope at all; the caller then reports that nothing was
// found rather than running a query that could not be written.
std::optional<QueryScope> DecideScope(const HostFolder& startFolder, FolderWalkEvents& events);

}  // namespace qm
