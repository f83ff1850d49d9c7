#include "startup/app_icons.h"

#include <gtest/gtest.h>

#include "tests/startup/icon_test_support.h"

namespace {

TEST(AppIcons, EachResourceHasItsSizesAndDepth) {
  struct Case {
    const char* name;
    QList<QSize> sizes;
  };
  const Case cases[] = {
      {"App_XP", {QSize(16, 16), QSize(32, 32)}},
      {"App_32_XP", {QSize(32, 32)}},
      {"frmMain", {QSize(16, 16), QSize(32, 32)}},
      {"imgCSLogo", {QSize(32, 32)}},
  };
  for (const Case& c : cases) {
    const QList<QImage> images = qm::startup::ProgramIconImages(QString::fromLatin1(c.name));
    ASSERT_EQ(images.size(), c.sizes.size()) << c.name;
    for (qsizetype i = 0; i < images.size(); ++i) {
      EXPECT_EQ(images[i].size(), c.sizes[i]) << c.name;
      // A picture with a transparent surround, not an empty or a solid square.
      EXPECT_EQ(qAlpha(images[i].pixel(0, images[i].height() - 1)), 0) << c.name;
      EXPECT_EQ(qAlpha(images[i].pixel(images[i].width() / 3, images[i].height() / 2)), 255) << c.name;
    }
  }
  EXPECT_TRUE(qm::startup::ProgramIconImages(QStringLiteral("Unknown")).isEmpty());
  EXPECT_TRUE(qm::startup::ProgramIconImages(QStringLiteral("../classic/BMP_ORDNER_16")).isEmpty());
}

TEST(AppIcons, ModernIconsCarrySoftEdgesTheClassicOnesDoNot) {
  auto hasPartialAlpha = [](const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const int alpha = qAlpha(image.pixel(x, y));
        if (alpha != 0 && alpha != 255) {
          return true;
        }
      }
    }
    return false;
  };
  EXPECT_TRUE(hasPartialAlpha(qm::startup::ApplicationLogo()));
  EXPECT_FALSE(hasPartialAlpha(qm::startup::ClassicLogo()));
  EXPECT_FALSE(hasPartialAlpha(qm::startup::ProgramIconImages(QStringLiteral("frmMain")).first()));
}

TEST(AppIcons, WindowIconsOfferBothSizes) {
  for (const QIcon& icon : {qm::startup::ApplicationIcon(), qm::startup::DesignTimeWindowIcon()}) {
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
  }
  EXPECT_EQ(qm::startup::ApplicationLogo().size(), QSize(32, 32));
  EXPECT_EQ(qm::startup::ClassicLogo().size(), QSize(32, 32));
}

}  // namespace
