// The registry under a double-byte ANSI code page (932 for a Japanese
// user): a character takes one or two bytes there, while the registry tells
// name lengths in characters. ctest runs these cases in a Wine started under
// LANG=ja_JP.UTF-8 and make sure it got code page 932.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "host/admin/host_admin.h"
#include "platform/environment.h"
#include "platform/registry_store.h"
#include "startup/host_discovery.h"
#include "support/c_registry.h"

namespace qm {
namespace {

namespace reg = platform::reg;

class Win32DoubleByte : public ::testing::Test {
 protected:
  void SetUp() override {
    // ctest names the code page it started Wine for; by hand, the cases
    // need a double-byte one.
    const UINT codePage = GetACP();
    if (qEnvironmentVariableIsSet("QM_EXPECTED_ACP")) {
      ASSERT_EQ(codePage, qEnvironmentVariable("QM_EXPECTED_ACP").toUInt());
    } else if (codePage != 932 && codePage != 936 && codePage != 949 && codePage != 950) {
      GTEST_SKIP() << "needs a double-byte ANSI code page, not " << codePage;
    }
  }

  cRegistry Accessor(const QString& key, const QString& name) {
    cRegistry registry;
    registry.SetClassKey(static_cast<std::int32_t>(reg::kCurrentUser));
    registry.SetSectionKey(key);
    registry.SetValueKey(name);
    registry.SetValueType(reg::kSz);
    return registry;
  }

  testing::ScopedConfigHome config_;
};

TEST_F(Win32DoubleByte, ValuesAndTheirNamesRoundTrip) {
  const QString key = QString::fromUtf8("Software\\設定");
  const QString name = QString::fromUtf8("検索文字列");
  const QString text = QString::fromUtf8("日本語のタイトル - ニュース*#*");
  cRegistry writer = Accessor(key, name);
  writer.SetValue(text);
  EXPECT_EQ(Accessor(key, name).Value(), QVariant(text));
  // Two bytes a character in the code page, as the registry's ANSI side sees it.
  platform::RegistryValue raw;
  ASSERT_EQ(platform::SystemRegistry().QueryValue(reg::kCurrentUser, key, name, &raw),
            reg::kSuccess);
  EXPECT_EQ(raw.data, platform::ToAnsi(text) + '\0');
  EXPECT_GT(raw.data.size(), text.size() + 1);

  QStringList names;
  int count = 0;
  ASSERT_TRUE(Accessor(key, QString()).EnumerateValues(names, count));
  EXPECT_EQ(names, QStringList{name});
  ASSERT_TRUE(Accessor(QStringLiteral("Software"), QString()).EnumerateSections(names, count));
  EXPECT_TRUE(names.contains(QString::fromUtf8("設定"))) << names.join(u',').toStdString();
}

// The longest name the key reports is counted in characters; a buffer of
// that many bytes is too small for names of two-byte characters, and a
// listing must ask again rather than end there.
TEST_F(Win32DoubleByte, ListingsGiveLongNamesWhole) {
  const QString key = QStringLiteral("Software\\Long");
  const QString longName = QString(120, QChar(0x65E5));  // 日, 240 bytes in the code page
  cRegistry writer = Accessor(key, QStringLiteral("a"));
  writer.SetValue(QStringLiteral("1"));
  writer.SetValueKey(longName);
  writer.SetValue(QStringLiteral("2"));
  writer.SetValueKey(QStringLiteral("z"));
  writer.SetValue(QStringLiteral("3"));
  writer.SetSectionKey(key + QLatin1Char('\\') + longName);
  ASSERT_TRUE(writer.CreateKey());
  writer.SetSectionKey(key + QStringLiteral("\\z"));
  ASSERT_TRUE(writer.CreateKey());

  // In the registry's order, which is not the order of creation.
  const auto sorted = [](QStringList names) {
    names.sort();
    return names;
  };
  QStringList names;
  ASSERT_EQ(platform::SystemRegistry().EnumValueNames(reg::kCurrentUser, key, &names),
            reg::kSuccess);
  EXPECT_EQ(sorted(names), sorted({QStringLiteral("a"), longName, QStringLiteral("z")}));
  ASSERT_EQ(platform::SystemRegistry().EnumSubkeyNames(reg::kCurrentUser, key, &names),
            reg::kSuccess);
  EXPECT_EQ(sorted(names), sorted({longName, QStringLiteral("z")}));

  int count = 0;
  ASSERT_TRUE(Accessor(key, QString()).EnumerateValues(names, count));
  EXPECT_EQ(count, 3);
  ASSERT_TRUE(Accessor(key, QString()).EnumerateSections(names, count));
  EXPECT_EQ(sorted(names), sorted({longName, QStringLiteral("z")}));
}

TEST_F(Win32DoubleByte, AnInstallFolderWrittenByTheStandInIsWhatTheToolFinds) {
  // Not below the user's temporary folder: the suite's user is "Büro", and
  // code page 932 has no "ü".
  QTemporaryDir base(QStringLiteral("C:/qm-dbcs-XXXXXX"));
  ASSERT_TRUE(base.isValid());
  const QString folder = base.filePath(QString::fromUtf8("プログラム/ブックマーク"));
  hostadmin::InstallHost(hostadmin::HostEdition::English, folder);
  const HostInstallation found = DiscoverHostInstallation();
  EXPECT_TRUE(found.englishEdition);
  EXPECT_EQ(found.installFolder, QDir(folder).absolutePath() + QLatin1Char('/'));
}

}  // namespace
}  // namespace qm
