// The window of the benchmarks, with nothing to wait for: every answer is
// Yes, no event ever runs, the pause costs nothing, and the texts are the
// program's own English ones, so that a run or a review costs here what it
// costs behind the real window minus the user.
#pragma once

#include <QString>

#include <initializer_list>
#include <span>
#include <utility>

#include "engine/texts.h"
#include "engine/window_port.h"

namespace qm::bench {

class BenchPort : public WindowPort {
 public:
  BenchPort(QString search, QString replacementText)
      : replacement(std::move(replacementText)), search_(std::move(search)) {}

  QString FieldText() override { return Text(text_id::kFieldTitle); }
  QString SearchText() override { return search_; }
  bool SearchHistoryVisible() override { return false; }
  bool RemoveMode() override { return false; }
  QString ReplacementText() override { return replacement; }
  bool IncludeSubfolders() override { return true; }
  QString Text(int id) override {
    for (const std::span<const TextRow> rows :
         {std::span<const TextRow>(kTableTexts), std::span<const TextRow>(kUndoTexts),
          std::span<const TextRow>(kReviewTexts), std::span<const TextRow>(kOwnMessages)}) {
      if (const TextRow* row = FindText(rows, id)) {
        return TextIn(*row, false);
      }
    }
    return QString();
  }
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
