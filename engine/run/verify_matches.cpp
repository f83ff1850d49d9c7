#include "engine/run/verify_matches.h"

#include "engine/command/port_guards.h"
#include "engine/query/match_query.h"
#include "engine/run/replace_run.h"
#include "text/mod_resource.h"

namespace qm {

void VerifyMatches(WindowPort& port, const SearchCriteria& criteria) {
  // Only a request made while this command runs counts; see the run.
  port.TakeCancelRequest();
  const std::shared_ptr<HostFolder> selectedFolder = criteria.startFolder();
  BusyCursor busy(port);
  const std::optional<QueryScope> scope = DecideScope(*selectedFolder, port);
  // Closing the window during the walk: a count nobody will read is not
  // worth the query.
  if (port.TakeCancelRequest()) {
    return;
  }
  const Matches matches =
      OpenMatches(*selectedFolder->Collection(), scope, criteria.field, criteria.searchText);
  RecordsetCloser closer(matches.recordset);
  if (matches.count != 0) {
    port.SetNotes(QString::number(matches.count) +
                  Text(text_id::kDocumentsMatch, criteria.language));
  } else {
    port.SetNotes(
        modResource::printf(Text(text_id::kNothingMatches, criteria.language),
                            {criteria.searchText, FieldName(criteria.field, criteria.language)}));
  }
  closer.Close();
}

}  // namespace qm
