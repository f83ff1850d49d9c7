// A line of text that changes (the notes line) named for screen readers by
// the label before it: "Notes: 5 documents updated!". A label's own name is
// its text, so a fixed accessible name would hide the note; this one is made
// from both whenever a reader asks, and the label's text stays where it was.
#pragma once

class QLabel;

namespace qm {

// `label` becomes the buddy of `text`, whose accessible name from then on is
// the label's text (without its accelerator mark), a blank and its own text.
void NameTextByItsLabel(QLabel& text, QLabel& label);

}  // namespace qm
