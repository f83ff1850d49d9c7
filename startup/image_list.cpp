#include "startup/image_list.h"

#include "platform/error.h"
#include "platform/text_fold.h"

namespace qm::startup {
namespace {

// The numbers the window toolkit's image list raises.
constexpr std::int32_t kIndexOutOfBounds = 35600;
constexpr std::int32_t kKeyNotUnique = 35602;

}  // namespace

void ImageList::Add(const QString& key, const QImage& image) {
  if (!key.isEmpty() && Position(key) != 0) {
    throw Error(kKeyNotUnique, QStringLiteral("ImageList"),
                QStringLiteral("Key is not unique in collection"));
  }
  entries_.append(Entry{key, image});
}

const ImageList::Entry& ImageList::At(int position) const {
  if (position < 1 || position > Count()) {
    throw Error(kIndexOutOfBounds, QStringLiteral("ImageList"),
                QStringLiteral("Index out of bounds"));
  }
  return entries_.at(position - 1);
}

QImage ImageList::Image(int position) const { return At(position).image; }

QString ImageList::Key(int position) const { return At(position).key; }

int ImageList::Position(const QString& key) const {
  if (key.isEmpty()) {
    return 0;
  }
  for (int i = 0; i < Count(); ++i) {
    if (EqualsIgnoringCase(entries_.at(i).key, key)) {
      return i + 1;
    }
  }
  return 0;
}

}  // namespace qm::startup
