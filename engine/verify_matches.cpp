#include "engine/verify_matches.h"

#include "engine/match_query.h"
#include "engine/mod_resource.h"
#include "engine/port_guards.h"

namespace qm {

void VerifyMatches(WindowPort& port, const std::shared_ptr<HostFolder>& selectedFolder) {
  // Only a request made while this command runs counts; see the run.
  port.TakeCancelRequest();
  BusyCursor busy(port);
  const std::optional<QueryScope> scope = DecideScope(*selectedFolder, port);
  // Closing the window during the walk: a count nobody will read is not
  // worth the query.
  if (port.TakeCancelRequest()) {
    return;
  }
  const ChosenField chosen = ReadChosenField(port);
  const QString searchText = port.SearchText();
  const Matches matches =
      OpenMatches(*selectedFolder->Collection(), scope, chosen.field, searchText);
  RecordsetCloser closer(matches.recordset);
  if (matches.count != 0) {
    port.SetNotes(QString::number(matches.count) + port.Text(text_id::kDocumentsMatch));
  } else {
    port.SetNotes(
        modResource::printf(port.Text(text_id::kNothingMatches), {searchText, chosen.displayText}));
  }
  closer.Close();
}

}  // namespace qm
