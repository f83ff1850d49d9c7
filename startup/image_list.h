// The window's image list (imlFolders): images in a fixed order, each
// addressed by its position counted from 1 and, where it has one, by a key.
//
// Entries are only ever appended, as the window's list control appends when
// its Add is called without a position. An entry may hold a null image: the
// list keeps a place for an icon that could not be loaded, so that every
// later icon keeps its position.
#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace qm::startup {

class ImageList {
 public:
  // Appends an entry. A non-empty key must not be in the list yet (keys
  // compare without regard to case); otherwise qm::Error 35602 is raised and
  // the list stays as it was.
  void Add(const QString& key, const QImage& image);

  int Count() const noexcept { return static_cast<int>(entries_.size()); }

  // The image and key at a position from 1 to Count(); any other position
  // raises qm::Error 35600.
  QImage Image(int position) const;
  QString Key(int position) const;

  // The position of the entry with that key, or 0 when there is none (and
  // for the empty key, which no entry has).
  int Position(const QString& key) const;

 private:
  struct Entry {
    QString key;
    QImage image;
  };
  const Entry& At(int position) const;

  QList<Entry> entries_;
};

}  // namespace qm::startup
