#include "engine/run/exact_matches.h"

#include <algorithm>
#include <memory>

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

  void Take(const QVariant& entryId, const QString& value) {
    const RewriteResult result = rewrite_(value);
    if (result.matchLimitHit) {
      ++found_.limitCount;
    } else if (result.changed) {
      kept_.Append(entryId);
    }
  }

  EntryIdColumn Kept() { return std::move(kept_); }

 private:
  TextRewrite rewrite_;
  FoundMatches& found_;
  EntryIdColumn kept_;
};

EntryIdColumn ReadCandidates(HostConnection& connection, const QString& query) {
  const std::shared_ptr<HostRecordset> candidates = connection.OpenRecordset(query);
  RecordsetCloser closer(candidates);
  EntryIdColumn ids = ReadEntryIds(*candidates, candidates->RecordCount());
  closer.Close();
  return ids;
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
  const EntryIdColumn candidates = ReadCandidates(
      *connection, BuildQueryText(*scope, search.field, search.searchText, search.options));
  Decision decision(search, found);
  for (std::int64_t first = 0; first < candidates.Size(); first += kDecideChunk) {
    port.ProcessEvents();
    if (port.TakeCancelRequest()) {
      found.stopped = true;
      found.limitCount = 0;
      return found;
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
    const auto texts = ReadDocumentTexts(collection, *connection, search.field, ids, false);
    for (std::size_t i = 0; i < ids.size(); ++i) {
      if (texts[i]) {
        decision.Take(QVariant(static_cast<qlonglong>(ids[i])), texts[i]->value);
      }
    }
  }
  auto decided = std::make_shared<DecidedRecordset>(decision.Kept());
  found.matches.count = decided->RecordCount();
  found.matches.recordset = std::move(decided);
  return found;
}

}  // namespace qm
