#include "engine/journal/run_documents.h"

#include <QHash>

#include <algorithm>

#include "engine/command/pace.h"
#include "engine/query/document_field.h"
#include "platform/error.h"
#include "platform/whole_number.h"

namespace qm {
namespace {

// The host's number for a collection that does not exist. The contract
// does not name it; this is the stand-in's, and any other host failure
// still ends the command.
constexpr std::int32_t kUnknownCollection = static_cast<std::int32_t>(0x80041103u);
// Entries read from the journal at a time.
constexpr std::int64_t kReadPage = 4096;
// Documents looked at with one query before a change asks.
constexpr std::size_t kLookChunk = 256;

}  // namespace

bool SameValue(const QString& a, const QString& b) { return a == b && a.isNull() == b.isNull(); }

std::shared_ptr<HostCollection> FindCollection(HostApplication& host, std::int32_t id) {
  try {
    return host.Collections()->Item(QString::number(id));
  } catch (const Error& error) {
    if (error.number() == kUnknownCollection) {
      return nullptr;
    }
    throw;
  }
}

std::shared_ptr<HostDocument> FindDocument(HostCollection& collection, const QVariant& entryId) {
  try {
    return collection.GetDocument(entryId);
  } catch (const Error&) {
    return nullptr;
  }
}

QString EntryKey(const QVariant& entryId) {
  const std::optional<std::int64_t> whole = WholeNumber(entryId);
  return whole ? QString::number(*whole) : QLatin1Char('"') + entryId.toString();
}

std::unordered_set<QString> WrittenTwice(const std::vector<const DocumentEntry*>& entries) {
  std::vector<QString> keys;
  keys.reserve(entries.size());
  for (const DocumentEntry* entry : entries) {
    keys.push_back(EntryKey(entry->entryId));
  }
  std::sort(keys.begin(), keys.end());
  std::unordered_set<QString> twice;
  for (std::size_t i = 1; i < keys.size(); ++i) {
    if (keys[i] == keys[i - 1]) {
      twice.insert(keys[i]);
    }
  }
  return twice;
}

std::vector<std::optional<DocumentTexts>> ReadCurrent(
    HostCollection& collection, HostConnection& connection, SearchField field,
    const std::vector<const DocumentEntry*>& chunk, bool withTitle) {
  std::vector<std::optional<DocumentTexts>> current(chunk.size());
  std::vector<std::int64_t> ids;
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < chunk.size(); ++i) {
    if (const std::optional<std::int64_t> id = WholeNumber(chunk[i]->entryId)) {
      ids.push_back(*id);
      at.push_back(i);
    } else if (const auto document = FindDocument(collection, chunk[i]->entryId)) {
      current[i] = DocumentTexts{withTitle ? document->Title() : QString(),
                                 ReadDocumentField(*document, field)};
    }
  }
  if (!ids.empty()) {
    auto texts = ReadDocumentTexts(collection, connection, field, ids, withTitle);
    for (std::size_t j = 0; j < ids.size(); ++j) {
      current[at[j]] = std::move(texts[j]);
    }
  }
  return current;
}

std::vector<RecordedEntry> ChosenEntries(RunJournal& journal, std::int64_t run,
                                         const std::optional<std::vector<EntryPosition>>& only,
                                         bool restoredOnly) {
  std::unordered_set<EntryPosition> chosen;
  if (only) {
    chosen.insert(only->begin(), only->end());
  }
  std::vector<RecordedEntry> entries;
  for (EntryPosition after = 0;;) {
    std::vector<RecordedEntry> page = journal.ReadEntries(run, after, kReadPage);
    if (page.empty()) {
      return entries;
    }
    after = page.back().position;
    for (RecordedEntry& entry : page) {
      if ((!only || chosen.count(entry.position) != 0) && (!restoredOnly || entry.restored)) {
        entries.push_back(std::move(entry));
      }
    }
  }
}

namespace {

const QString& StartOf(const DocumentEntry& entry, Direction direction) {
  return direction == Direction::Undo ? entry.after : entry.before;
}
const QString& EndOf(const DocumentEntry& entry, Direction direction) {
  return direction == Direction::Undo ? entry.before : entry.after;
}

}  // namespace

Holds WhatItHolds(const std::optional<QString>& current, const DocumentEntry& entry,
                  Direction direction) {
  if (!current) {
    return Holds::Other;
  }
  if (SameValue(*current, StartOf(entry, direction))) {
    return Holds::From;
  }
  return SameValue(*current, EndOf(entry, direction)) ? Holds::To : Holds::Other;
}

ChangePlan PlanChange(HostCollection& collection, SearchField field,
                      const std::vector<const DocumentEntry*>& inOrder, Direction direction) {
  ChangePlan plan;
  const std::unordered_set<QString> twice = WrittenTwice(inOrder);
  // What the change will have left in the documents written more than once.
  QHash<QString, QString> changed;
  const std::shared_ptr<HostConnection> connection = collection.Connection();
  for (std::size_t begin = 0; begin < inOrder.size(); begin += kLookChunk) {
    const std::size_t end = std::min(begin + kLookChunk, inOrder.size());
    const std::vector<const DocumentEntry*> chunk(
        inOrder.begin() + static_cast<std::ptrdiff_t>(begin),
        inOrder.begin() + static_cast<std::ptrdiff_t>(end));
    const auto read = ReadCurrent(collection, *connection, field, chunk, false);
    for (std::size_t j = 0; j < chunk.size(); ++j) {
      const DocumentEntry& entry = *chunk[j];
      const QString key = twice.empty() ? QString() : EntryKey(entry.entryId);
      const bool repeated = !key.isEmpty() && twice.count(key) != 0;
      std::optional<QString> current;
      if (repeated && changed.contains(key)) {
        current = changed.value(key);
      } else if (read[j]) {
        current = read[j]->value;
      }
      switch (WhatItHolds(current, entry, direction)) {
        case Holds::From:
          plan.toWrite.push_back(begin + j);
          if (repeated) {
            changed.insert(key, EndOf(entry, direction));
          }
          break;
        case Holds::Other:
          ++plan.left;
          break;
        case Holds::To:
          break;
      }
    }
  }
  return plan;
}

Holds ChangeOne(WindowPort& port, HostCollection& collection, SearchField field,
                const DocumentEntry& entry, Direction direction) {
  port.ProcessEvents();
  port.Pause(kRewritePauseMs);
  port.ProcessEvents();
  const std::shared_ptr<HostDocument> document = FindDocument(collection, entry.entryId);
  if (!document) {
    return Holds::Other;
  }
  port.SetNotes(document->Title());
  const Holds holds = WhatItHolds(ReadDocumentField(*document, field), entry, direction);
  if (holds == Holds::From) {
    RestoreDocumentField(*document, field, EndOf(entry, direction));
    document->Save();
  }
  return holds;
}

}  // namespace qm
