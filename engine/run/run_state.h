// What the window keeps for one replace run. The window owns it and hands it
// to the run; the run and the rewrite of each document read and change it.
#pragma once

#include <QString>

#include <cstdint>

#include "engine/query/search_field.h"
#include "engine/query/search_options.h"

namespace qm {

struct RunState {
  QString searchText;
  // Empty in remove mode.
  QString replaceText;
  SearchField fieldIndex = SearchField::Title;
  SearchOptions options;
  // Documents written and saved by the current run. Set to 0 when a run
  // starts its query; after a failure it tells how many were saved before.
  std::int32_t updatedCount = 0;
  // Documents of the current run it came to and left as they were, their
  // field no longer matching when read just before the write (or, after a
  // review, no longer what the review showed). Set to 0 with
  // `updatedCount`; documents a Cancel kept the run from are in neither.
  std::int32_t leftCount = 0;
  // Documents of the current run that no longer existed when it came to
  // them (deleted since its query); set to 0 with `updatedCount`.
  std::int32_t goneCount = 0;
  // Documents of the current run left as they were because the pattern ran
  // into its match limit on them, when the matches were decided or when a
  // document was read again; set to 0 with `updatedCount`.
  std::int32_t limitCount = 0;
};

}  // namespace qm
