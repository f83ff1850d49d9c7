#include "engine/review/review_list.h"

#include <algorithm>
#include <limits>

#include "engine/query/document_field.h"
#include "engine/query/document_texts.h"
#include "platform/error.h"

namespace qm {
namespace {

// Rows kept for showing again: a few screens of them.
constexpr int kKeptRows = 512;
// Documents read with one query.
constexpr std::int64_t kChunk = 256;

[[noreturn]] void Refuse(const QString& why) { throw Error(-1, QStringLiteral("QMReplace"), why); }

}  // namespace

ReviewList::ReviewList(std::shared_ptr<HostCollection> collection, ReviewCriteria criteria,
                       EntryIdColumn entryIds)
    : collection_(std::move(collection)),
      criteria_(std::move(criteria)),
      rewrite_(criteria_.searchText, criteria_.replaceText, criteria_.options),
      entryIds_(std::move(entryIds)),
      shown_(kKeptRows) {
  if (entryIds_.Size() > std::numeric_limits<std::uint32_t>::max()) {
    Refuse(QStringLiteral("A review cannot list more than %1 documents.")
               .arg(std::numeric_limits<std::uint32_t>::max()));
  }
  order_.resize(static_cast<std::size_t>(entryIds_.Size()));
  checked_.reserve(static_cast<std::size_t>(entryIds_.Size()));
  shownDigests_.reserve(static_cast<std::size_t>(entryIds_.Size()));
}

HostConnection& ReviewList::Connection() const {
  if (!connection_) {
    connection_ = collection_->Connection();
  }
  return *connection_;
}

void ReviewList::Sort(bool changes, const QString& value) {
  const auto position = static_cast<std::uint32_t>(lookedAt_);
  if (changes) {
    order_[static_cast<std::size_t>(changes_++)] = position;
    checked_.push_back(true);
    shownDigests_.push_back(DigestOf(value));
    ++checkedCount_;
  } else {
    order_[static_cast<std::size_t>(Total() - 1 - unchanged_++)] = position;
  }
  ++lookedAt_;
}

void ReviewList::LookAtMore(const QDeadlineTimer& deadline) {
  do {
    if (Complete()) {
      return;
    }
    const std::int64_t end = std::min(Total(), lookedAt_ + kChunk);
    if (entryIds_.AllWhole()) {
      const std::span<const std::int64_t> ids = entryIds_.Whole(lookedAt_, end);
      const auto texts = ReadDocumentTexts(*collection_, Connection(), criteria_.field, ids, false);
      for (const std::optional<DocumentTexts>& found : texts) {
        Sort(found && rewrite_(found->value).changed, found ? found->value : QString());
      }
    } else {
      while (lookedAt_ < end) {
        const auto document = collection_->GetDocument(entryIds_.At(lookedAt_));
        const QString value = ReadDocumentField(*document, criteria_.field);
        Sort(rewrite_(value).changed, value);
      }
    }
  } while (!deadline.hasExpired());
}

std::int64_t ReviewList::Rows(ReviewSection section) const {
  return section == ReviewSection::Changes ? changes_ : unchanged_;
}

std::uint32_t ReviewList::Position(ReviewSection section, std::int64_t row) const {
  if (row < 0 || row >= Rows(section)) {
    Refuse(QStringLiteral("The review has no row %1 there.").arg(row));
  }
  const std::int64_t index = section == ReviewSection::Changes ? row : Total() - 1 - row;
  return order_[static_cast<std::size_t>(index)];
}

QVariant ReviewList::EntryId(ReviewSection section, std::int64_t row) const {
  return entryIds_.At(Position(section, row));
}

ReviewRow ReviewList::Row(ReviewSection section, std::int64_t row) {
  const std::int64_t position = Position(section, row);
  if (const ReviewRow* kept = shown_.object(position)) {
    return *kept;
  }
  ReviewRow read = ReadReviewRow(*collection_, EntryId(section, row), criteria_.field, rewrite_);
  if (section == ReviewSection::Changes && read.failure.isEmpty()) {
    shownDigests_[static_cast<std::size_t>(row)] = DigestOf(read.before);
  }
  shown_.insert(position, new ReviewRow(read));
  return read;
}

ValueDigest ReviewList::ShownDigest(std::int64_t row) const {
  Position(ReviewSection::Changes, row);
  return shownDigests_[static_cast<std::size_t>(row)];
}

std::vector<ReviewRow> ReviewList::ReadRows(ReviewSection section, std::int64_t first,
                                            std::int64_t count) const {
  std::vector<ReviewRow> rows;
  rows.reserve(static_cast<std::size_t>(count));
  if (!entryIds_.AllWhole()) {
    for (std::int64_t row = first; row < first + count; ++row) {
      rows.push_back(ReadReviewRow(*collection_, EntryId(section, row), criteria_.field, rewrite_));
    }
    return rows;
  }
  std::vector<std::int64_t> ids;
  ids.reserve(static_cast<std::size_t>(count));
  for (std::int64_t row = first; row < first + count; ++row) {
    ids.push_back(entryIds_.Whole(Position(section, row), Position(section, row) + 1).front());
  }
  const auto texts = ReadDocumentTexts(*collection_, Connection(), criteria_.field, ids, true);
  for (std::size_t i = 0; i < ids.size(); ++i) {
    // A document that no longer exists becomes the row that says so.
    rows.push_back(texts[i] ? MakeReviewRow(texts[i]->title, texts[i]->value, rewrite_)
                            : ReadReviewRow(*collection_, QVariant(static_cast<qlonglong>(ids[i])),
                                            criteria_.field, rewrite_));
  }
  return rows;
}

bool ReviewList::Checked(std::int64_t row) const {
  Position(ReviewSection::Changes, row);
  return checked_[static_cast<std::size_t>(row)];
}

void ReviewList::SetChecked(std::int64_t first, std::int64_t last, bool checked) {
  Position(ReviewSection::Changes, first);
  Position(ReviewSection::Changes, last);
  for (std::int64_t row = first; row <= last; ++row) {
    auto bit = checked_[static_cast<std::size_t>(row)];
    if (bit != checked) {
      bit = checked;
      checkedCount_ += checked ? 1 : -1;
    }
  }
}

}  // namespace qm
