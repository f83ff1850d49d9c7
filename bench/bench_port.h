// The window of the benchmarks, with nothing to wait for: every answer is
// Yes, no event ever runs, the pause costs nothing, and the texts are the
// program's own English ones, so that a run or a review costs here what it
// costs behind the real window minus the user.
#pragma once

#include <QString>

#include <utility>

#include "engine/command/command_services.h"
#include "engine/command/search_criteria.h"
#include "engine/command/window_port.h"

namespace qm::bench {

class BenchPort : public WindowPort, public CommandServices {
 public:
  BenchPort(QString search, QString replacementText)
      : replacement(std::move(replacementText)), search_(std::move(search)) {}

  // A replacement in the Title field from `folder`.
  SearchCriteria Criteria(std::shared_ptr<HostFolder> folder) const {
    SearchCriteria criteria;
    criteria.searchText = search_;
    criteria.replacementText = replacement;
    criteria.startFolder = TheFolder(std::move(folder));
    return criteria;
  }

  bool IncludeSubfolders() override { return true; }
  void SetNotes(const QString&) override {}
  void FocusSearchBox() override {}
  void FocusReplacementBox() override {}
  bool Confirm(const QString&, const QString&) override { return true; }
  void SetBusyCursor(bool) override {}
  void SetRunning(bool) override {}
  void ProcessEvents() override {}
  void Pause(int) override {}
  bool TakeCancelRequest() override { return false; }
  void SaveHistory() override {}
  void RequestHostRefresh() override {}
  RunJournal* Journal() override { return journal; }

  QString replacement;
  RunJournal* journal = nullptr;

 private:
  QString search_;
};

}  // namespace qm::bench
