#include "engine/journal/run_history.h"

#include <QStringList>

#include "engine/journal/run_documents.h"
#include "engine/journal/undo_run.h"
#include "engine/query/search_field.h"
#include "text/mod_resource.h"

namespace qm {
namespace {

QString Megabytes(std::int64_t bytes) {
  return QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1);
}

}  // namespace

HistoryState StateOf(const RunRecord& run) {
  if (run.status == RunStatus::Going) {
    return HistoryState::Running;
  }
  if (run.beingUndone) {
    return HistoryState::BeingUndone;
  }
  if (run.redoneBy != 0) {
    return HistoryState::Redone;
  }
  if (run.undone || (run.documents > 0 && run.restored >= run.documents)) {
    return HistoryState::Undone;
  }
  if (run.restored > 0) {
    return HistoryState::PartlyUndone;
  }
  switch (run.status) {
    case RunStatus::Cancelled:
      return HistoryState::Cancelled;
    case RunStatus::Failed:
      return HistoryState::Failed;
    case RunStatus::Crashed:
      return HistoryState::Crashed;
    case RunStatus::Going:
    case RunStatus::Finished:
      break;
  }
  return HistoryState::Finished;
}

bool CanUndo(const RunRecord& run) {
  const HistoryState state = StateOf(run);
  // A run done again is taken back through its redo, which holds its
  // documents now.
  return run.documents > 0 && state != HistoryState::Running &&
         state != HistoryState::BeingUndone && state != HistoryState::Undone &&
         state != HistoryState::Redone;
}

bool CanRedo(const RunRecord& run) {
  const HistoryState state = StateOf(run);
  return run.restored > 0 && (state == HistoryState::Undone || state == HistoryState::PartlyUndone);
}

QString StateText(const RunRecord& run, const RunRecord* redo, TextLanguage language) {
  switch (StateOf(run)) {
    case HistoryState::Running:
      return modResource::printf(
          Text(history_text::kStateRunning, language),
          {static_cast<qlonglong>(run.documents), static_cast<qlonglong>(run.total)});
    case HistoryState::BeingUndone:
      return Text(history_text::kStateBeingUndone, language);
    case HistoryState::Finished:
      return Text(history_text::kStateFinished, language);
    case HistoryState::Cancelled:
      return Text(history_text::kStateCancelled, language);
    case HistoryState::Failed:
      return Text(history_text::kStateFailed, language);
    case HistoryState::Crashed:
      return Text(history_text::kStateCrashed, language);
    case HistoryState::Undone:
      if (!run.undoneAt.isValid()) {
        return Text(history_text::kStateUndoneLongAgo, language);
      }
      return modResource::printf(Text(history_text::kStateUndone, language),
                                 {TimeText(run.undoneAt, language)});
    case HistoryState::PartlyUndone:
      return modResource::printf(Text(history_text::kStatePartlyUndone, language),
                                 {static_cast<qlonglong>(run.restored)});
    case HistoryState::Redone:
      return modResource::printf(
          Text(history_text::kStateRedone, language),
          {redo != nullptr ? RunTime(*redo, language) : QString::number(run.redoneBy)});
  }
  return {};
}

QString FolderText(const RunRecord& run, TextLanguage language) {
  if (run.folderName.isEmpty()) {
    return Text(history_text::kWholeCollection, language);
  }
  if (!run.includeSubfolders) {
    return run.folderName;
  }
  return modResource::printf(Text(history_text::kWithSubfolders, language), {run.folderName});
}

QString ModeText(const RunRecord& run, TextLanguage language) {
  if (run.searchText.isEmpty()) {
    return Text(history_text::kModeFill, language);
  }
  return Text(run.replaceText.isEmpty() ? history_text::kModeRemove : history_text::kModeReplace,
              language);
}

QString OptionsText(const RunRecord& run, TextLanguage language) {
  QStringList names;
  const auto add = [&](bool on, int id) {
    if (on) {
      // Without the accelerator's mark.
      names.append(Text(id, language).remove(QLatin1Char('&')));
    }
  };
  add(run.options.matchCase, control_text::kMatchCase);
  add(run.options.wholeWords, control_text::kWholeWords);
  add(run.options.pattern, control_text::kPattern);
  add(run.options.preserveCase, control_text::kPreserveCase);
  return names.join(QStringLiteral(", "));
}

QString UsageText(const std::vector<RunRecord>& runs, const JournalLimits& limits,
                  TextLanguage language) {
  std::int64_t bytes = 0;
  for (const RunRecord& run : runs) {
    bytes += run.bytes;
  }
  return modResource::printf(Text(history_text::kUsage, language),
                             {static_cast<qlonglong>(runs.size()), Megabytes(bytes),
                              static_cast<qlonglong>(limits.runs), Megabytes(limits.bytes)});
}

DocumentState DocumentStateOf(const RecordedEntry& entry,
                              const std::optional<DocumentTexts>& current, bool collectionThere) {
  if (!collectionThere) {
    return DocumentState::Unknown;
  }
  if (!current) {
    return DocumentState::Gone;
  }
  if (!current->value.isNull() && current->value == entry.document.after) {
    return DocumentState::Changed;
  }
  if (SameValue(current->value, entry.document.before)) {
    return entry.restored ? DocumentState::Restored : DocumentState::NotSaved;
  }
  return DocumentState::ChangedSince;
}

QString DocumentStateText(DocumentState state, const std::optional<DocumentTexts>& current,
                          TextLanguage language) {
  switch (state) {
    case DocumentState::Changed:
      return Text(history_text::kDocChanged, language);
    case DocumentState::Restored:
      return Text(history_text::kDocRestored, language);
    case DocumentState::NotSaved:
      return Text(history_text::kDocNotSaved, language);
    case DocumentState::ChangedSince:
      return modResource::printf(Text(history_text::kDocChangedSince, language),
                                 {current ? current->value : QString()});
    case DocumentState::Gone:
      return Text(history_text::kDocGone, language);
    case DocumentState::Unknown:
      return Text(history_text::kDocUnknown, language);
  }
  return {};
}

}  // namespace qm
