#include "host/lib/catalog.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/test_environment.h"
#include "host/lib/host_errors.h"
#include "platform/environment.h"
#include "platform/registry_store.h"
#include "stand_in_host.h"

namespace {

namespace reg = qm::platform::reg;
namespace errc = qm::host::errc;
using qm::hostadmin::HostEdition;

void SetText(std::uint32_t root, const QString& key, const QString& name, const QString& text) {
  auto& registry = qm::platform::SystemRegistry();
  ASSERT_EQ(registry.CreateKey(root, key), reg::kSuccess);
  const std::optional<QByteArray> data = qm::host::EncodeRegistryText(text);
  ASSERT_TRUE(data.has_value());
  ASSERT_EQ(registry.SetValue(root, key, name, reg::kSz, *data), reg::kSuccess);
}

TEST(HostCatalog, RegistryEncodingsAreCheckedBeforeUse) {
  using qm::host::DecodeRegistryDword;
  using qm::host::DecodeRegistryText;
  EXPECT_EQ(DecodeRegistryText(QByteArray("C:/x\0", 5)), QStringLiteral("C:/x"));
  EXPECT_EQ(DecodeRegistryText(QByteArray("C:/x")), QStringLiteral("C:/x"));  // no terminator
  EXPECT_EQ(DecodeRegistryText(QByteArray("ab\0cd\0", 6)), QStringLiteral("ab"));
  // Texts are in the system's code page, as the host's ANSI calls keep them,
  // and a text it cannot hold has no encoding at all (no "?" in its place).
  EXPECT_EQ(qm::host::EncodeRegistryText(QStringLiteral("Ärger")),
            qm::platform::ToAnsi(QStringLiteral("Ärger")) + '\0');
  EXPECT_EQ(qm::host::EncodeRegistryText(QStringLiteral("a") + QChar(0xD800)), std::nullopt);
  EXPECT_EQ(DecodeRegistryText(qm::platform::ToAnsi(QStringLiteral("Ärger"))),
            QStringLiteral("Ärger"));
  if (!qm::platform::FromAnsiExactly(QByteArray("\xC3("))) {  // UTF-8, not 1252, has no such text
    EXPECT_EQ(DecodeRegistryText(QByteArray("\xC3(\0", 3)), std::nullopt);
  }

  EXPECT_EQ(DecodeRegistryDword(QByteArray("\x01\x02\x00\x80", 4)), 0x80000201u);
  EXPECT_EQ(DecodeRegistryDword(QByteArray("\x01\x02\x03", 3)), std::nullopt);
  EXPECT_EQ(DecodeRegistryDword(QByteArray("\x01\x02\x03\x04\x05", 5)), std::nullopt);
  EXPECT_EQ(qm::host::EncodeRegistryDword(0x01020304u), QByteArray("\x04\x03\x02\x01", 4));

  EXPECT_EQ(qm::host::ParseCollectionId(QStringLiteral("42")), 42);
  for (const char* bad : {"", "-1", "4 2", "0x10", "2147483648", "12345678901", "٣"}) {
    EXPECT_EQ(qm::host::ParseCollectionId(QString::fromUtf8(bad)), std::nullopt) << bad;
  }
}

TEST(HostCatalog, FindsTheEditionByTheToolsRule) {
  struct Case {
    const char* germanPath;   // nullptr: no German key
    const char* englishPath;  // nullptr: no English key
    std::optional<HostEdition> edition;
    const char* appPath;
  };
  const Case cases[] = {
      {"/opt/de/", "/opt/en/", HostEdition::German, "/opt/de/"},
      {"", "/opt/en/", HostEdition::English, "/opt/en/"},
      {nullptr, "", HostEdition::English, ""},
      {"", nullptr, std::nullopt, ""},
      {nullptr, nullptr, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    qm::testing::ScopedConfigHome home;
    if (c.germanPath) {
      SetText(reg::kLocalMachine, qm::host::InstallKey(HostEdition::German),
              QStringLiteral("AppPath"), QString::fromUtf8(c.germanPath));
    }
    if (c.englishPath) {
      SetText(reg::kLocalMachine, qm::host::InstallKey(HostEdition::English),
              QStringLiteral("AppPath"), QString::fromUtf8(c.englishPath));
    }
    const auto install = qm::hostadmin::FindHost();
    ASSERT_EQ(install.has_value(), c.edition.has_value()) << c.germanPath << c.englishPath;
    if (install) {
      EXPECT_EQ(install->edition, *c.edition);
      EXPECT_EQ(install->appPath, QString::fromUtf8(c.appPath));
    }
  }
}

TEST(HostCatalog, NoRegisteredHostIsAnError) {
  qm::testing::ScopedConfigHome home;
  try {
    qm::CreateHostApplication();
    FAIL() << "no error without a host";
  } catch (const qm::Error& e) {
    EXPECT_EQ(e.number(), errc::kNoHost);
    EXPECT_EQ(e.source(), QStringLiteral("QMHost.Library"));
    EXPECT_TRUE(e.description().contains(QStringLiteral("SOFTWARE\\orbelon\\Quillmark")));
  }
  EXPECT_THROW(qm::hostadmin::CreateCollection(QStringLiteral("x"), false), qm::Error);
}

using HostCatalogRoundTrip = qm::testing::StandInHostTest;

TEST_F(HostCatalogRoundTrip, CollectionsKeepNameKindFileAndDefault) {
  const std::int32_t first = defaultId();
  const std::int32_t second = qm::hostadmin::CreateCollection(QStringLiteral("Réseau"), true);
  const auto list = qm::hostadmin::ListCollections();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, QStringLiteral("Default"));
  EXPECT_EQ(list[0].kind, 1);
  EXPECT_TRUE(list[0].isDefault);
  EXPECT_EQ(list[1].id, second);
  EXPECT_EQ(list[1].name, QStringLiteral("Réseau"));
  EXPECT_EQ(list[1].kind, 2);
  EXPECT_EQ(list[1].file, installPath() + QStringLiteral("collections/%1.qmdb").arg(second));
  EXPECT_FALSE(list[1].isDefault);

  // What the library sees is what the catalog says.
  auto collections = app()->Collections();
  EXPECT_EQ(collections->Count(), 2);
  auto network = collections->Item(QString::number(second));
  EXPECT_EQ(network->ID(), second);
  EXPECT_EQ(network->Name(), QStringLiteral("Réseau"));
  EXPECT_EQ(network->Kind(), 2);
  EXPECT_EQ(collections->Item(QVariant(second))->ID(), second);
  EXPECT_EQ(network->GetFolder(1)->Name(), QStringLiteral("Réseau"));
  EXPECT_EQ(app()->DefaultCollection()->ID(), first);
  // One collection is one object, however it is reached.
  EXPECT_EQ(app()->DefaultCollection(), collections->Item(QString::number(first)));

  qm::hostadmin::SetDefaultCollection(second);
  EXPECT_EQ(app()->DefaultCollection()->ID(), second);
  qm::hostadmin::RemoveCollection(second);
  EXPECT_EQ(app()->DefaultCollection()->ID(), first);
  EXPECT_EQ(app()->Collections()->Count(), 1);
  EXPECT_QM_ERROR(collections->Item(QString::number(second)), errc::kUnknownCollection,
                  "QMHost.Library",
                  QStringLiteral("The host has no collection with the ID %1.").arg(second));
  EXPECT_QM_ERROR(collections->Item(QStringLiteral("first")), errc::kBadArgument, "QMHost.Library",
                  "\"first\" is not a collection ID.");
}

TEST_F(HostCatalogRoundTrip, DamagedCatalogValuesAreReportedAndLeftAlone) {
  const QString key =
      qm::host::CatalogKey(HostEdition::English) + QStringLiteral("\\%1").arg(defaultId());
  auto& registry = qm::platform::SystemRegistry();
  struct Case {
    const char* value;
    std::uint32_t type;
    QByteArray data;
  };
  std::vector<Case> cases = {
      {"Kind", reg::kSz, QByteArray("1\0", 2)},
      {"Kind", reg::kDword, QByteArray("\x01\x00", 2)},
      {"File", reg::kBinary, QByteArray("/x", 2)},
      {"Name", reg::kDword, qm::host::EncodeRegistryDword(1)},
  };
  // Bytes that are no text: in UTF-8 (Linux); code page 1252 has a letter
  // for every byte.
  const QByteArray noText("\xFF\xFE/x\0", 5);
  if (!qm::platform::FromAnsiExactly(noText.chopped(1))) {
    cases.push_back({"File", reg::kSz, noText});
  }
  for (const Case& c : cases) {
    qm::platform::RegistryValue saved;
    ASSERT_EQ(registry.QueryValue(reg::kCurrentUser, key, c.value, &saved), reg::kSuccess);
    ASSERT_EQ(registry.SetValue(reg::kCurrentUser, key, c.value, c.type, c.data), reg::kSuccess);
    try {
      qm::CreateHostApplication()->DefaultCollection();
      ADD_FAILURE() << "damaged " << c.value << " was accepted";
    } catch (const qm::Error& e) {
      EXPECT_EQ(e.number(), errc::kCatalogDamaged) << c.value;
      EXPECT_EQ(e.source(), QStringLiteral("QMHost.Catalog"));
      EXPECT_TRUE(e.description().contains(QString::fromLatin1(c.value))) << e.what();
    }
    qm::platform::RegistryValue after;
    ASSERT_EQ(registry.QueryValue(reg::kCurrentUser, key, c.value, &after), reg::kSuccess);
    EXPECT_EQ(after.data, c.data);  // nothing "repaired" behind the user's back
    ASSERT_EQ(registry.SetValue(reg::kCurrentUser, key, c.value, saved.type, saved.data),
              reg::kSuccess);
  }
  EXPECT_NO_THROW(qm::CreateHostApplication()->DefaultCollection());
}

}  // namespace
