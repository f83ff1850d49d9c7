// The rows of one section of a review that a filter text narrows it to: those
// whose title, value before or value after holds the text, without regard to
// case (the rule the search uses). Rows are tested a chunk at a time and
// found in order, also while the list itself still grows; each is read from
// its document, nothing is kept but its row number (4 bytes a found row).
#pragma once

#include <QDeadlineTimer>
#include <QString>

#include <cstdint>
#include <vector>

#include "engine/review/review_list.h"

namespace qm {

class ReviewFilter {
 public:
  // An empty text lets every row through without reading any.
  ReviewFilter(const ReviewList& list, ReviewSection section, QString text);

  const QString& Text() const { return text_; }
  // Tests further rows the list has until `deadline` has passed (one row at
  // least) or every row so far is tested.
  void LookAtMore(const QDeadlineTimer& deadline);
  // Every row the list will ever have is tested.
  bool Complete() const;
  // Rows tested so far, of the section's rows.
  std::int64_t Tested() const { return tested_; }

  // Rows let through, and which row of the section each is.
  std::int64_t Rows() const;
  std::int64_t SectionRow(std::int64_t row) const;

 private:
  const ReviewList& list_;
  ReviewSection section_;
  QString text_;
  QString folded_;
  std::int64_t tested_ = 0;
  std::vector<std::uint32_t> rows_;
};

}  // namespace qm
