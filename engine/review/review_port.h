// The review window as the engine sees it.
//
// Review() shows the list, completes it a chunk at a time while the user
// looks through it, checks and unchecks its documents, and returns true when
// the user chose to apply what is checked, false when the user closed the
// review or cancelled the making of the list. A host failure met while the
// list is made ends the review and propagates as qm::Error.
#pragma once

namespace qm {

class ReviewList;

class ReviewPort {
 public:
  virtual ~ReviewPort() = default;
  virtual bool Review(ReviewList& list) = 0;
};

}  // namespace qm
