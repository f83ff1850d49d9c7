#include "startup/image_list.h"

#include <gtest/gtest.h>

#include "common/test_environment.h"

namespace {

using qm::startup::ImageList;

QImage Filled(QRgb color) {
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(color);
  return image;
}

TEST(ImageList, EntriesAreAppendedAndFoundByPositionAndKey) {
  ImageList list;
  EXPECT_EQ(list.Count(), 0);
  list.Add(QString(), Filled(qRgb(1, 1, 1)));
  list.Add(QStringLiteral("Blue"), Filled(qRgb(0, 0, 255)));
  list.Add(QString(), QImage());  // a place kept for an icon that did not load
  list.Add(QStringLiteral("Red"), Filled(qRgb(255, 0, 0)));
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Image(2), Filled(qRgb(0, 0, 255)));
  EXPECT_TRUE(list.Image(3).isNull());
  EXPECT_EQ(list.Image(4), Filled(qRgb(255, 0, 0)));
  EXPECT_EQ(list.Key(1), QString());
  EXPECT_EQ(list.Key(4), QStringLiteral("Red"));
  EXPECT_EQ(list.Position(QStringLiteral("blue")), 2);  // keys ignore case
  EXPECT_EQ(list.Position(QStringLiteral("RED")), 4);
  EXPECT_EQ(list.Position(QStringLiteral("Green")), 0);
  EXPECT_EQ(list.Position(QString()), 0);
}

TEST(ImageList, PositionsOutsideTheListAreRefused) {
  ImageList list;
  list.Add(QStringLiteral("A"), Filled(0));
  for (const int position : {0, -1, 2, 29}) {
    EXPECT_QM_ERROR(list.Image(position), 35600, "ImageList", "Index out of bounds");
    EXPECT_QM_ERROR(list.Key(position), 35600, "ImageList", "Index out of bounds");
  }
}

TEST(ImageList, ADuplicateKeyIsRefusedAndChangesNothing) {
  ImageList list;
  list.Add(QStringLiteral("Key"), Filled(1));
  EXPECT_QM_ERROR(list.Add(QStringLiteral("KEY"), Filled(2)), 35602, "ImageList",
                  "Key is not unique in collection");
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Image(1), Filled(1));
  list.Add(QString(), Filled(3));  // any number of entries may go without key
  list.Add(QString(), Filled(4));
  EXPECT_EQ(list.Count(), 3);
}

}  // namespace
