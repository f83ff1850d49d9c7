// What the user asked a command to do, as one value: read from the window
// once, when the command starts, and handed to the query, the count, the
// question, the review, the run and its journal.
#pragma once

#include <QString>

#include <functional>
#include <memory>

#include "engine/query/search_field.h"
#include "engine/query/search_options.h"
#include "hostlib/host_library.h"
#include "text/texts.h"

namespace qm {

// Gives the start folder; throws qm::Error when there is none.
using StartFolderSource = std::function<std::shared_ptr<HostFolder>()>;

struct SearchCriteria {
  SearchField field = SearchField::Title;
  // Exactly as typed; empty fills empty fields.
  QString searchText;
  bool removeMode = false;
  // The replacement box as typed, whatever the mode; a remove replaces with
  // the empty text.
  QString replacementText;
  // Match case, whole words, pattern, preserve case; all off is the literal
  // search without regard to case.
  SearchOptions options;
  // Asked for only when the command comes to it (after the input check and
  // the history), so that a window without a host still answers a missing
  // search text with its note.
  StartFolderSource startFolder;
  // The language the window speaks, for every text the command shows.
  TextLanguage language = TextLanguage::English;
};

// For a start folder known beforehand.
inline StartFolderSource TheFolder(std::shared_ptr<HostFolder> folder) {
  return [folder = std::move(folder)] { return folder; };
}

}  // namespace qm
