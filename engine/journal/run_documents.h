// What undo, redo and the history's look into a run share: finding a run's
// collection and documents as the host has them now, and reading what their
// field holds.
#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "engine/command/window_port.h"
#include "engine/journal/journal_records.h"
#include "engine/journal/run_journal.h"
#include "engine/query/document_texts.h"
#include "hostlib/host_library.h"

namespace qm {

// Exactly the same, a field without a value told from an empty one.
bool SameValue(const QString& a, const QString& b);

// None when the host knows no collection with this ID; other host failures
// propagate.
std::shared_ptr<HostCollection> FindCollection(HostApplication& host, std::int32_t id);

// None for a document the host cannot give back, whatever it answers:
// stopping at it would stop every later undo there too.
std::shared_ptr<HostDocument> FindDocument(HostCollection& collection, const QVariant& entryId);

// A document's key, to tell the documents a run wrote more than once.
QString EntryKey(const QVariant& entryId);
// The keys of the documents these entries name more than once (a snapshot
// may list a document twice).
std::unordered_set<QString> WrittenTwice(const std::vector<const DocumentEntry*>& entries);

// The field (and, when asked, the title) of the entries' documents as they
// read now; none for a document the host cannot give back. Whole EntryIDs
// are read with one query per call.
std::vector<std::optional<DocumentTexts>> ReadCurrent(
    HostCollection& collection, HostConnection& connection, SearchField field,
    const std::vector<const DocumentEntry*>& chunk, bool withTitle);

// The entries of a run in the order it saved them: those at the positions
// `only` names (every one without it), and with `restoredOnly` only those an
// undo took back. Read a page at a time.
std::vector<RecordedEntry> ChosenEntries(RunJournal& journal, std::int64_t run,
                                         const std::optional<std::vector<EntryPosition>>& only,
                                         bool restoredOnly);

// Which way a change goes over a run's entries: an undo takes a document
// from the value the run wrote back to the one before, a redo the other way.
enum class Direction { Undo, Redo };

// What a document's field holds for such a change, compared exactly (letter
// case and nullness included): the value it starts from, which is to be
// written; the one it goes to already; or something else (also for a
// document the host cannot give back, `current` none).
enum class Holds { From, To, Other };
Holds WhatItHolds(const std::optional<QString>& current, const DocumentEntry& entry,
                  Direction direction);

// What a change would do, looked at before it asks: of the entries, in the
// order it takes them (an undo latest first, a redo as the run saved them),
// the indexes of those it writes, and how many documents it leaves because
// they changed since. The documents are read a chunk at a time; one the run
// wrote more than once is judged by what the change will have left in it by
// then.
struct ChangePlan {
  std::vector<std::size_t> toWrite;
  std::int64_t left = 0;
};
ChangePlan PlanChange(HostCollection& collection, SearchField field,
                      const std::vector<const DocumentEntry*>& inOrder, Direction direction);

// One document changed as undo and redo change it: the window's events and
// the pace first, then the read, and nothing else between that read and the
// Save, so that an edit made meanwhile is seen and never overwritten.
// Written only when it holds the value the change starts from; the notes line
// shows its title.
Holds ChangeOne(WindowPort& port, HostCollection& collection, SearchField field,
                const DocumentEntry& entry, Direction direction);

}  // namespace qm
