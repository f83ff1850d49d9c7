#include "engine/run/exact_matches.h"

#include <algorithm>
#include <memory>
#include <unordered_set>
#include <vector>

#include "engine/query/candidate_pages.h"
#include "engine/query/document_field.h"
#include "engine/query/document_texts.h"
#include "engine/query/entry_id_column.h"
#include "engine/run/text_rewrite.h"
#include "platform/error.h"

namespace qm {
namespace {

[[noreturn]] void Refuse(const QString& why) { throw Error(-1, QStringLiteral("QMReplace"), why); }

// The matches as a snapshot the run and the review read like the query's.
class DecidedRecordset final : public HostRecordset {
 public:
  explicit DecidedRecordset(EntryIdColumn ids) : ids_(std::move(ids)) {}

  std::int64_t RecordCount() const override { return ids_.Size(); }
  bool Eof() const override { return row_ >= ids_.Size(); }
  QVariant Value(const QString& field) const override {
    if (Eof()) {
      Refuse(QStringLiteral("The matches have no current row: they are past the last."));
    }
    if (field.compare(QLatin1String("EntryID"), Qt::CaseInsensitive) != 0) {
      Refuse(QStringLiteral("The matches have no field named \"%1\".").arg(field));
    }
    return ids_.At(row_);
  }
  void MoveNext() override {
    if (Eof()) {
      Refuse(QStringLiteral("The matches cannot move on: they are past the last."));
    }
    ++row_;
  }
  void Close() override {}

 private:
  EntryIdColumn ids_;
  std::int64_t row_ = 0;
};

class Decision {
 public:
  Decision(const MatchSearch& search, FoundMatches& found)
      : rewrite_(search.searchText, search.replaceText, search.options), found_(found) {}

  // Whether the run changes a document whose field holds `value`; a value
  // the pattern gave up on is counted apart.
  bool Keeps(const QString& value) {
    const RewriteDecision result = rewrite_.Decide(value);
    found_.limitCount += result.matchLimitHit ? 1 : 0;
    return result.changed;
  }
  void Keep(const QVariant& entryId) { kept_.Append(entryId); }
  void Take(const QVariant& entryId, const QString& value) {
    if (Keeps(value)) {
      Keep(entryId);
    }
  }

  EntryIdColumn Kept() { return std::move(kept_); }

 private:
  TextRewrite rewrite_;
  FoundMatches& found_;
  EntryIdColumn kept_;
};

// Window events once per chunk of candidates; true when a stop was asked for.
bool Interrupted(WindowPort& port, FoundMatches& found) {
  port.ProcessEvents();
  if (!port.TakeCancelRequest()) {
    return false;
  }
  found.stopped = true;
  found.limitCount = 0;
  return true;
}

EntryIdColumn ReadCandidates(HostConnection& connection, const QString& query) {
  const std::shared_ptr<HostRecordset> candidates = connection.OpenRecordset(query);
  RecordsetCloser closer(candidates);
  EntryIdColumn ids = ReadEntryIds(*candidates, candidates->RecordCount());
  closer.Close();
  return ids;
}

// Every candidate with its field in one pass, judged as its page is read.
// False, with nothing decided, when the pages got stuck.
bool DecidePages(WindowPort& port, HostCollection& collection, HostConnection& connection,
                 const QueryScope& scope, const MatchSearch& search, Decision& decision,
                 FoundMatches& found) {
  using Verdict = CandidatePages::Verdict;
  CandidatePages pages(connection, scope, search.field, search.searchText, search.options);
  const CandidatePages::Judge judge = [&decision](const QVariant& value) {
    // A text as it is, without the copies AsText makes.
    const auto* plain = value.typeId() == QMetaType::QString
                            ? static_cast<const QString*>(value.constData())
                            : nullptr;
    if (plain != nullptr && !plain->isNull()) {
      return decision.Keeps(*plain) ? Verdict::kTake : Verdict::kLeave;
    }
    if (const std::optional<QString> text = AsText(value)) {
      return decision.Keeps(*text) ? Verdict::kTake : Verdict::kLeave;
    }
    // What the document gives for it, read once the page is closed.
    return Verdict::kLater;
  };
  std::vector<CandidatePages::Taken> taken;
  while (pages.Next(judge, taken)) {
    for (const CandidatePages::Taken& one : taken) {
      const QVariant entryId(static_cast<qlonglong>(one.entryId));
      if (!one.later ||
          decision.Keeps(ReadDocumentField(*collection.GetDocument(entryId), search.field))) {
        decision.Keep(entryId);
      }
    }
    if (Interrupted(port, found)) {
      return true;
    }
  }
  return !pages.Stuck();
}

// The candidates first, then their fields by EntryID, a chunk at a time: for
// a host whose keys the pages cannot go on after.
void DecideByEntryId(WindowPort& port, HostCollection& collection, HostConnection& connection,
                     const QueryScope& scope, const MatchSearch& search, Decision& decision,
                     FoundMatches& found) {
  const EntryIdColumn candidates = ReadCandidates(
      connection, BuildQueryText(scope, search.field, search.searchText, search.options));
  for (std::int64_t first = 0; first < candidates.Size(); first += kDecideChunk) {
    if (Interrupted(port, found)) {
      return;
    }
    const std::int64_t end = std::min(candidates.Size(), first + kDecideChunk);
    if (!candidates.AllWhole()) {
      for (std::int64_t i = first; i < end; ++i) {
        const QVariant entryId = candidates.At(i);
        const auto document = collection.GetDocument(entryId);
        decision.Take(entryId, ReadDocumentField(*document, search.field));
      }
      continue;
    }
    const std::span<const std::int64_t> ids = candidates.Whole(first, end);
    const auto texts = ReadDocumentTexts(collection, connection, search.field, ids, false);
    for (std::size_t i = 0; i < ids.size(); ++i) {
      if (texts[i]) {
        decision.Take(QVariant(static_cast<qlonglong>(ids[i])), texts[i]->value);
      }
    }
  }
}

// A document moved into a folder the pages had still to read was read again
// there; the run must visit it once.
EntryIdColumn WithoutRepeats(EntryIdColumn kept) {
  if (!kept.AllWhole() || kept.Size() < 2) {
    return kept;
  }
  const std::span<const std::int64_t> ids = kept.Whole(0, kept.Size());
  std::vector<std::int64_t> sorted(ids.begin(), ids.end());
  std::sort(sorted.begin(), sorted.end());
  if (std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end()) {
    return kept;
  }
  std::unordered_set<std::int64_t> seen;
  EntryIdColumn once;
  for (const std::int64_t id : ids) {
    if (seen.insert(id).second) {
      once.Append(QVariant(static_cast<qlonglong>(id)));
    }
  }
  return once;
}

}  // namespace

FoundMatches FindMatches(WindowPort& port, HostCollection& collection,
                         const std::optional<QueryScope>& scope, const MatchSearch& search) {
  FoundMatches found;
  if (!search.options.AnyOn() || search.searchText.isEmpty() || !scope) {
    found.matches = OpenMatches(collection, scope, search.field, search.searchText);
    return found;
  }
  const std::shared_ptr<HostConnection> connection = collection.Connection();
  auto decision = std::make_unique<Decision>(search, found);
  if (!DecidePages(port, collection, *connection, *scope, search, *decision, found)) {
    found.limitCount = 0;
    decision = std::make_unique<Decision>(search, found);
    DecideByEntryId(port, collection, *connection, *scope, search, *decision, found);
  }
  if (found.stopped) {
    return found;
  }
  auto decided = std::make_shared<DecidedRecordset>(WithoutRepeats(decision->Kept()));
  found.matches.count = decided->RecordCount();
  found.matches.recordset = std::move(decided);
  return found;
}

}  // namespace qm
