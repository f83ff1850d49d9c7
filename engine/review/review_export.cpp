#include "engine/review/review_export.h"

#include <algorithm>
#include <vector>

#include "engine/export/csv_export.h"
#include "engine/query/search_field.h"
#include "text/mod_resource.h"

namespace qm {
namespace {

// Rows read from the documents at once.
constexpr std::int64_t kChunkRows = 256;

class ReviewRows {
 public:
  ReviewRows(const ReviewList& list, TextLanguage language)
      : list_(list),
        language_(language),
        field_(Text(FieldRecordOf(list.Criteria().field).textId, language)) {}

  bool Next(QStringList& cells) {
    while (next_ == list_.Rows(section_)) {
      if (section_ == ReviewSection::Unchanged) {
        return false;
      }
      section_ = ReviewSection::Unchanged;
      next_ = 0;
      chunk_.clear();
      first_ = 0;
    }
    if (next_ >= first_ + static_cast<std::int64_t>(chunk_.size())) {
      first_ = next_;
      chunk_ = list_.ReadRows(section_, first_, std::min(kChunkRows, list_.Rows(section_) - next_));
    }
    const ReviewRow& row = chunk_[static_cast<std::size_t>(next_ - first_)];
    cells = ChangeCells(
        {list_.EntryId(section_, next_).toString(),
         row.failure.isEmpty()
             ? row.title
             : modResource::printf(Text(review_text::kUnreadable, language_), {row.failure}),
         field_, row.before, Changes() ? row.after : row.before, State()});
    ++next_;
    return true;
  }

 private:
  bool Changes() const { return section_ == ReviewSection::Changes; }
  QString State() const {
    if (!Changes()) {
      return Text(progress_text::kStateUnchanged, language_);
    }
    return Text(
        list_.Checked(next_) ? progress_text::kStateChecked : progress_text::kStateUnchecked,
        language_);
  }

  const ReviewList& list_;
  TextLanguage language_;
  QString field_;
  ReviewSection section_ = ReviewSection::Changes;
  std::int64_t next_ = 0;
  std::int64_t first_ = 0;
  std::vector<ReviewRow> chunk_;
};

}  // namespace

std::int64_t ExportReviewList(const ReviewList& list, const QString& path, TextLanguage language) {
  ReviewRows rows(list, language);
  return WriteCsvFile(
      path, ChangeColumnTitles(language), [&rows](QStringList& cells) { return rows.Next(cells); },
      language);
}

}  // namespace qm
