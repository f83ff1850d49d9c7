#include "startup/host_discovery.h"

#include <QFile>

#include <gtest/gtest.h>

#include <optional>

#include "common/test_environment.h"
#include "platform/environment.h"
#include "support/faulty_registry_store.h"

namespace qm {
namespace {

namespace reg = platform::reg;

// nullopt: the key is missing; "": the key is there, its AppPath empty;
// a null QString: the key is there without an AppPath value at all.
void Install(platform::RegistryStore& store, const char* key,
             const std::optional<QString>& appPath) {
  if (!appPath) {
    return;
  }
  ASSERT_EQ(store.CreateKey(reg::kLocalMachine, key), reg::kSuccess);
  if (!appPath->isNull()) {
    QByteArray data = platform::ToAnsi(*appPath);
    data.append('\0');
    ASSERT_EQ(store.SetValue(reg::kLocalMachine, key, "AppPath", reg::kSz, data), reg::kSuccess);
  }
}

void Install(const char* key, const std::optional<QString>& appPath) {
  Install(platform::SystemRegistry(), key, appPath);
}

TEST(HostDiscovery, GermanFolderWinsElseEnglishIsTheFallback) {
  const QString german = "C:\\Programme\\Quillmarke\\";
  const QString english = "C:\\Program Files\\Quillmark\\";
  const QString germanKey = kGermanInstallKey;
  const QString englishKey = kEnglishInstallKey;
  const struct {
    const char* label;
    std::optional<QString> germanAppPath;
    std::optional<QString> englishAppPath;
    QString folder;
    bool englishEdition;
    QStringList keysRead;
  } cases[] = {
      {"both editions", german, english, german, false, {germanKey, germanKey}},
      {"German only", german, std::nullopt, german, false, {germanKey, germanKey}},
      {"German empty, English set", QString(""), english, english, true, {germanKey, englishKey}},
      {"German without AppPath", QString(), english, english, true, {germanKey, englishKey}},
      {"English only", std::nullopt, english, english, true, {germanKey, englishKey}},
      {"neither", std::nullopt, std::nullopt, "", true, {germanKey, englishKey}},
      {"English empty", std::nullopt, QString(""), "", true, {germanKey, englishKey}},
      {"both empty", QString(""), QString(""), "", true, {germanKey, englishKey}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    testing::ScopedConfigHome home;
    Install(kGermanInstallKey, c.germanAppPath);
    Install(kEnglishInstallKey, c.englishAppPath);
    testing::FaultyRegistryStore recording(platform::SystemRegistry());
    const HostInstallation host = DiscoverHostInstallation(recording, recording);
    EXPECT_EQ(host.installFolder, c.folder);
    EXPECT_EQ(host.englishEdition, c.englishEdition);
    EXPECT_EQ(recording.keysRead, c.keysRead);
    EXPECT_EQ(recording.writes, 0);
  }
}

// The host is a 32-bit program: its view of the registry is asked first,
// and the program's own only where the host's view names no folder. Two
// parts of one store stand for the two views here; tests/win32 uses the
// real ones.
TEST(HostDiscovery, TheHostsViewFirstTheOwnViewOnlyWhereItHasNoFolder) {
  const QString german = "C:\\Programme\\Quillmarke\\";
  const QString english = "C:\\Program Files\\Quillmark\\";
  const struct {
    const char* label;
    std::optional<QString> hostGerman, hostEnglish, ownGerman, ownEnglish;
    QString folder;
    bool englishEdition;
    bool ownViewRead;
  } cases[] = {
      {"host view only", german, std::nullopt, std::nullopt, std::nullopt, german, false, false},
      {"host view wins", std::nullopt, english, german, std::nullopt, english, true, false},
      {"own view only", std::nullopt, std::nullopt, german, english, german, false, true},
      {"host view empty", QString(""), QString(""), std::nullopt, english, english, true, true},
      {"neither", std::nullopt, std::nullopt, std::nullopt, std::nullopt, "", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    testing::ScopedConfigHome home;
    testing::FaultyRegistryStore hostView(platform::SystemRegistry());
    hostView.keysBelow = QStringLiteral("View32\\");
    testing::FaultyRegistryStore ownView(platform::SystemRegistry());
    ownView.keysBelow = QStringLiteral("View64\\");
    Install(hostView, kGermanInstallKey, c.hostGerman);
    Install(hostView, kEnglishInstallKey, c.hostEnglish);
    Install(ownView, kGermanInstallKey, c.ownGerman);
    Install(ownView, kEnglishInstallKey, c.ownEnglish);
    hostView.keysRead.clear();
    ownView.keysRead.clear();
    const HostInstallation host = DiscoverHostInstallation(hostView, ownView);
    EXPECT_EQ(host.installFolder, c.folder);
    EXPECT_EQ(host.englishEdition, c.englishEdition);
    EXPECT_FALSE(hostView.keysRead.isEmpty());
    EXPECT_EQ(!ownView.keysRead.isEmpty(), c.ownViewRead);
  }
}

TEST(HostDiscovery, KeyNamesIgnoreCase) {
  testing::ScopedConfigHome home;
  Install("software\\ORBELON\\quillmarke", QString("D:\\QM\\"));
  const HostInstallation host = DiscoverHostInstallation();
  EXPECT_EQ(host.installFolder, "D:\\QM\\");
  EXPECT_FALSE(host.englishEdition);
}

TEST(HostDiscovery, DerivedPlacesAreGluedNotRepaired) {
  const struct {
    QString folder;
    bool english;
    QString library;
    QString settings;
  } cases[] = {
      {"C:\\QM\\", false, "C:\\QM\\QMRes.dll", "Software\\orbelon\\Quillmarke\\CurrentSettings"},
      {"C:\\QM", true, "C:\\QMQMRes.dll", "Software\\orbelon\\Quillmark\\CurrentSettings"},
      {"", true, "QMRes.dll", "Software\\orbelon\\Quillmark\\CurrentSettings"},
      {"/opt/quillmark/", false, "/opt/quillmark/QMRes.dll",
       "Software\\orbelon\\Quillmarke\\CurrentSettings"},
  };
  for (const auto& c : cases) {
    const HostInstallation host{c.folder, c.english};
    EXPECT_EQ(host.ResourceLibraryPath(), c.library);
    EXPECT_EQ(host.SettingsKey(), c.settings);
  }
}

TEST(HostDiscovery, StoredFolderComesBackWithItsTrailingBackslashOrWithout) {
  for (const QString& stored : {QString("E:\\Host\\"), QString("E:\\Host")}) {
    testing::ScopedConfigHome home;
    Install(kEnglishInstallKey, stored);
    const HostInstallation host = DiscoverHostInstallation();
    EXPECT_TRUE(host.englishEdition);
    EXPECT_EQ(host.installFolder, stored);
    EXPECT_EQ(host.ResourceLibraryPath(), stored + "QMRes.dll");
  }
}

TEST(HostDiscoveryPosix, DamagedStoreMeansNoHost) {
  testing::ScopedConfigHome home;
  Install(kGermanInstallKey, QString("C:\\QM\\"));
  QFile file(platform::RegistryFilePath());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(QByteArray(4096, '\x13'));
  file.close();
  const HostInstallation host = DiscoverHostInstallation();
  EXPECT_TRUE(host.installFolder.isEmpty());
  EXPECT_TRUE(host.englishEdition);
}

}  // namespace
}  // namespace qm
