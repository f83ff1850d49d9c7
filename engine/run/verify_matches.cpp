#include "engine/run/verify_matches.h"

#include "engine/command/port_guards.h"
#include "engine/query/match_query.h"
#include "engine/run/exact_matches.h"
#include "engine/run/replace_run.h"
#include "engine/run/search_refusal.h"
#include "text/mod_resource.h"

namespace qm {

void VerifyMatches(WindowPort& port, const SearchCriteria& criteria) {
  // Only a request made while this command runs counts; see the run.
  port.TakeCancelRequest();
  if (!SearchAccepted(port, criteria.searchText,
                      criteria.removeMode ? QString() : criteria.replacementText, criteria.options,
                      criteria.language)) {
    return;
  }
  const std::shared_ptr<HostFolder> selectedFolder = criteria.startFolder();
  BusyCursor busy(port);
  const std::optional<QueryScope> scope = DecideScope(*selectedFolder, port);
  // Closing the window during the walk: a count nobody will read is not
  // worth the query.
  if (port.TakeCancelRequest()) {
    return;
  }
  const FoundMatches found =
      FindMatches(port, *selectedFolder->Collection(), scope,
                  {criteria.field, criteria.searchText,
                   criteria.removeMode ? QString() : criteria.replacementText, criteria.options});
  if (found.stopped) {
    return;
  }
  const Matches& matches = found.matches;
  RecordsetCloser closer(matches.recordset);
  const QString limitNote = LimitNote(found.limitCount, criteria.language);
  if (matches.count != 0) {
    port.SetNotes(QString::number(matches.count) +
                  Text(text_id::kDocumentsMatch, criteria.language) + limitNote);
  } else {
    port.SetNotes(
        modResource::printf(Text(text_id::kNothingMatches, criteria.language),
                            {criteria.searchText, FieldName(criteria.field, criteria.language)}) +
        limitNote);
  }
  closer.Close();
}

}  // namespace qm
