#include "engine/review_list.h"

#include <limits>

#include "platform/error.h"

namespace qm {
namespace {

// Rows kept for showing again: a few screens of them.
constexpr int kKeptRows = 512;

}  // namespace

ReviewList::ReviewList(std::shared_ptr<HostCollection> collection, ReviewCriteria criteria,
                       EntryIdColumn entryIds)
    : collection_(std::move(collection)),
      criteria_(std::move(criteria)),
      entryIds_(std::move(entryIds)),
      shown_(kKeptRows) {
  if (entryIds_.Size() > std::numeric_limits<std::uint32_t>::max()) {
    throw Error(-1, QStringLiteral("QMReplace"),
                QStringLiteral("A review cannot list more than %1 documents.")
                    .arg(std::numeric_limits<std::uint32_t>::max()));
  }
  order_.resize(static_cast<std::size_t>(entryIds_.Size()));
  checked_.reserve(static_cast<std::size_t>(entryIds_.Size()));
}

void ReviewList::LookAtMore(const QDeadlineTimer& deadline) {
  const std::int64_t total = Total();
  do {
    if (lookedAt_ == total) {
      return;
    }
    const auto position = static_cast<std::uint32_t>(lookedAt_);
    if (ReviewChanges(*collection_, entryIds_.At(lookedAt_), criteria_)) {
      order_[static_cast<std::size_t>(changes_++)] = position;
      checked_.push_back(true);
      ++checkedCount_;
    } else {
      order_[static_cast<std::size_t>(total - 1 - unchanged_++)] = position;
    }
    ++lookedAt_;
  } while (!deadline.hasExpired());
}

std::int64_t ReviewList::Rows(ReviewPart part) const {
  return part == ReviewPart::Changes ? changes_ : unchanged_;
}

std::uint32_t ReviewList::Position(ReviewPart part, std::int64_t row) const {
  if (row < 0 || row >= Rows(part)) {
    throw Error(-1, QStringLiteral("QMReplace"),
                QStringLiteral("The review has no row %1 there.").arg(row));
  }
  const std::int64_t index = part == ReviewPart::Changes ? row : Total() - 1 - row;
  return order_[static_cast<std::size_t>(index)];
}

QVariant ReviewList::EntryId(ReviewPart part, std::int64_t row) const {
  return entryIds_.At(Position(part, row));
}

ReviewRow ReviewList::Row(ReviewPart part, std::int64_t row) {
  const std::int64_t position = Position(part, row);
  if (const ReviewRow* kept = shown_.object(position)) {
    return *kept;
  }
  ReviewRow read = FreshRow(part, row);
  shown_.insert(position, new ReviewRow(read));
  return read;
}

ReviewRow ReviewList::FreshRow(ReviewPart part, std::int64_t row) const {
  return ReadReviewRowForDisplay(*collection_, EntryId(part, row), criteria_);
}

bool ReviewList::Checked(std::int64_t row) const {
  Position(ReviewPart::Changes, row);
  return checked_[static_cast<std::size_t>(row)];
}

void ReviewList::SetChecked(std::int64_t first, std::int64_t last, bool checked) {
  Position(ReviewPart::Changes, first);
  Position(ReviewPart::Changes, last);
  for (std::int64_t row = first; row <= last; ++row) {
    auto bit = checked_[static_cast<std::size_t>(row)];
    if (bit != checked) {
      bit = checked;
      checkedCount_ += checked ? 1 : -1;
    }
  }
}

}  // namespace qm
