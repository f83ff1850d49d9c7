// What a command needs besides the window: the search-string history to
// save, the host to tell, and the journal of runs. The window's program
// provides them, tests fake them.
#pragma once

namespace qm {

class RunJournal;

class CommandServices {
 public:
  virtual ~CommandServices() = default;
  // Writes the search-string history back; throws qm::Error when the
  // registry refuses.
  virtual void SaveHistory() = 0;
  // Asks the running host to refresh its folder tree; never fails.
  virtual void RequestHostRefresh() = 0;
  // The journal of runs, open for this command; null where no journal is
  // kept. Throws qm::Error when it cannot be opened or created
  // (JournalTooNew for one written by a newer version).
  virtual RunJournal* Journal() = 0;
};

}  // namespace qm
