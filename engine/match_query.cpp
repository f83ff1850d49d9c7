#include "engine/match_query.h"

#include <utility>

namespace qm {

ChosenField ReadChosenField(WindowPort& port) {
  QString displayText = port.FieldText();
  FieldDisplayTexts texts;
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    texts[i] = port.Text(kFields[i].textId);
  }
  const SearchField field = FieldFromDisplayText(displayText, texts);
  return {field, std::move(displayText)};
}

Matches OpenMatches(HostCollection& collection, const std::optional<QueryScope>& scope,
                    SearchField field, const QString& searchText) {
  Matches matches;
  if (!scope) {
    return matches;
  }
  const QString query = BuildQueryText(*scope, field, searchText);
  matches.recordset = collection.Connection()->OpenRecordset(query);
  matches.count = matches.recordset->RecordCount();
  return matches;
}

RecordsetCloser::~RecordsetCloser() {
  if (!recordset_) {
    return;
  }
  try {
    recordset_->Close();
  } catch (...) {
    // Already unwinding from the failure that matters; a detached snapshot
    // that cannot close is freed with its last reference anyway.
  }
}

void RecordsetCloser::Close() {
  if (recordset_) {
    std::shared_ptr<HostRecordset> recordset = std::move(recordset_);
    recordset_.reset();
    recordset->Close();
  }
}

}  // namespace qm
