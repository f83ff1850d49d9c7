#include "engine/review/review_filter.h"

#include <algorithm>

#include "platform/text_fold.h"

namespace qm {
namespace {

// Rows read with one query.
constexpr std::int64_t kChunk = 256;

bool Holds(const QString& text, const QString& folded) { return FoldCase(text).contains(folded); }

}  // namespace

ReviewFilter::ReviewFilter(const ReviewList& list, ReviewSection section, QString text)
    : list_(list), section_(section), text_(std::move(text)), folded_(FoldCase(text_)) {}

void ReviewFilter::LookAtMore(const QDeadlineTimer& deadline) {
  if (text_.isEmpty()) {
    tested_ = list_.Rows(section_);
    return;
  }
  do {
    const std::int64_t count = std::min(kChunk, list_.Rows(section_) - tested_);
    if (count == 0) {
      return;
    }
    for (const ReviewRow& row : list_.ReadRows(section_, tested_, count)) {
      if (Holds(row.title, folded_) || Holds(row.before, folded_) || Holds(row.after, folded_)) {
        rows_.push_back(static_cast<std::uint32_t>(tested_));
      }
      ++tested_;
    }
  } while (!deadline.hasExpired());
}

bool ReviewFilter::Complete() const { return list_.Complete() && tested_ == list_.Rows(section_); }

std::int64_t ReviewFilter::Rows() const {
  return text_.isEmpty() ? tested_ : static_cast<std::int64_t>(rows_.size());
}

std::int64_t ReviewFilter::SectionRow(std::int64_t row) const {
  return text_.isEmpty() ? row : rows_.at(static_cast<std::size_t>(row));
}

}  // namespace qm
