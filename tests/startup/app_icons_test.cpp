#include "startup/app_icons.h"

#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

bool HasPartialAlpha(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const int alpha = qAlpha(image.pixel(x, y));
      if (alpha != 0 && alpha != 255) {
        return true;
      }
    }
  }
  return false;
}

TEST(AppIcons, TheDesignTimeIconsHaveTheirSizesAndHardEdges) {
  struct Case {
    const char* name;
    QList<QSize> sizes;
  };
  const Case cases[] = {
      {"frmMain", {QSize(16, 16), QSize(32, 32)}},
      {"imgCSLogo", {QSize(32, 32)}},
  };
  for (const Case& c : cases) {
    const QList<QImage> images = qm::startup::DesignTimeIconImages(QString::fromLatin1(c.name));
    ASSERT_EQ(images.size(), c.sizes.size()) << c.name;
    for (qsizetype i = 0; i < images.size(); ++i) {
      EXPECT_EQ(images[i].size(), c.sizes[i]) << c.name;
      // A picture with a transparent surround, not an empty or a solid square.
      EXPECT_EQ(qAlpha(images[i].pixel(0, images[i].height() - 1)), 0) << c.name;
      EXPECT_EQ(qAlpha(images[i].pixel(images[i].width() / 3, images[i].height() / 2)), 255)
          << c.name;
      EXPECT_FALSE(HasPartialAlpha(images[i])) << c.name;
    }
  }
  EXPECT_TRUE(qm::startup::DesignTimeIconImages(QStringLiteral("Unknown")).isEmpty());
  EXPECT_TRUE(qm::startup::DesignTimeIconImages(QStringLiteral("../icons/App_XP")).isEmpty());
  const QIcon window = qm::startup::DesignTimeWindowIcon();
  EXPECT_TRUE(window.availableSizes().contains(QSize(16, 16)));
  EXPECT_TRUE(window.availableSizes().contains(QSize(32, 32)));
  EXPECT_EQ(qm::startup::ClassicLogo().size(), QSize(32, 32));
}

// The logo of the modern appearance is the program's own icon resource,
// drawn over the white band at its natural size: white where the icon is
// transparent, its colours where it is opaque, and blended with the white
// along its soft edge (the green mark at the right, three quarters opaque).
TEST(AppIcons, TheLogoIsTheProgramsIconDrawnOverWhite) {
  const QImage logo = qm::startup::ApplicationLogo();
  ASSERT_EQ(logo.size(), QSize(32, 32));
  EXPECT_EQ(logo.pixel(0, 0) | 0xFF000000u, qRgb(255, 255, 255));
  EXPECT_EQ(logo.pixel(8, 8) | 0xFF000000u, qRgb(229, 230, 234));
  const QColor edge = QColor::fromRgb(logo.pixel(31, 8));
  const QColor blended(79, 176, 101);  // (20, 150, 50) at alpha 191 over white
  EXPECT_LE(std::abs(edge.red() - blended.red()) + std::abs(edge.green() - blended.green()) +
                std::abs(edge.blue() - blended.blue()),
            9)
      << edge.name().toStdString();
}

TEST(AppIcons, TheApplicationIconBecomesTheWindowsBigIcon) {
  QWindow window;
  ASSERT_TRUE(qm::startup::ShowApplicationIcon(window));
  EXPECT_TRUE(window.icon().availableSizes().contains(QSize(32, 32)));
}

}  // namespace
