#include "engine/journal/command_journal.h"

#include <QDir>

#include "text/mod_resource.h"

namespace qm {

CommandJournal OpenCommandJournal(WindowPort& port, CommandServices& services,
                                  TextLanguage language) {
  try {
    return CommandJournal{services.Journal(), false};
  } catch (const JournalTooNew&) {
    port.SetNotes(Text(undo_text::kJournalTooNew, language));
    return CommandJournal{nullptr, true};
  }
}

QString WithJournalNotice(const QString& note, const QString& notice) {
  return notice.isEmpty() ? note : note + QLatin1Char(' ') + notice;
}

QString JournalNotice(const QString& movedTo, TextLanguage language) {
  if (movedTo.isEmpty()) {
    return QString();
  }
  return modResource::printf(Text(undo_text::kJournalMovedAside, language),
                             {QDir::toNativeSeparators(movedTo)});
}

QString BusyNote(const CollectionActivity& activity, TextLanguage language) {
  return modResource::printf(
      Text(activity.undoing ? undo_text::kCollectionBusyUndo : undo_text::kCollectionBusyRun,
           language),
      {activity.run.collectionName, activity.run.searchText, activity.run.replaceText});
}

}  // namespace qm
