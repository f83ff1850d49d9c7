// The registry seam against the real registry: values written through the
// tool's registry class land in the registry as the registry's own
// functions see them, texts in the ANSI code page (1252 here), and come back
// unchanged; what the code page cannot hold is refused, not mangled.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "host/admin/host_admin.h"
#include "host/admin/resource_library_writer.h"
#include "host/lib/catalog.h"
#include "platform/environment.h"
#include "platform/registry_store.h"
#include "startup/folder_icons.h"
#include "startup/host_discovery.h"
#include "support/c_registry.h"

#include <cstring>

namespace qm {
namespace {

namespace reg = platform::reg;
using platform::ProgramBaseName;

// A key of its own in the real HKEY_CURRENT_USER (no sandbox), deleted with
// everything below it when the test ends.
class RealRegistry : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key_.constData()); }

  QString key() const { return QString::fromLatin1(key_); }

  cRegistry Accessor(const QString& name, std::int32_t type) {
    cRegistry registry;
    registry.SetClassKey(static_cast<std::int32_t>(reg::kCurrentUser));
    registry.SetSectionKey(key());
    registry.SetValueKey(name);
    registry.SetValueType(type);
    return registry;
  }

  // The bytes the registry's own ANSI function gives for the value.
  QByteArray RawAnsi(const char* name, DWORD* type) {
    HKEY opened = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key_.constData(), 0, KEY_QUERY_VALUE, &opened),
              ERROR_SUCCESS);
    char buffer[512] = {};
    DWORD size = sizeof(buffer);
    EXPECT_EQ(RegQueryValueExA(opened, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    RegCloseKey(opened);
    return QByteArray(buffer, static_cast<qsizetype>(size));
  }

 private:
  testing::NoRegistrySandbox noSandbox_;
  QByteArray key_ = QByteArrayLiteral("Software\\QMReplace tests\\win32-") +
                    QByteArray::number(static_cast<qint64>(QCoreApplication::applicationPid()));
};

TEST_F(RealRegistry, GermanTextsTravelThroughCodePage1252AndComeBack) {
  ASSERT_EQ(GetACP(), 1252u) << "the tests run under an English or German Wine locale";
  const QString text = QString::fromUtf8("Grüße aus Köln – Äpfel, Öl, Übermaß");
  cRegistry writer = Accessor("SearchAndReplace_Strings", reg::kSz);
  writer.SetValue(text);

  DWORD type = 0;
  const QByteArray raw = RawAnsi("SearchAndReplace_Strings", &type);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(raw, QByteArray("Gr\xFC\xDF"
                            "e aus K\xF6ln \x96 \xC4pfel, \xD6l, \xDC"
                            "berma\xDF",
                            35) +
                     '\0');

  cRegistry reader = Accessor("SearchAndReplace_Strings", reg::kSz);
  EXPECT_EQ(reader.Value(), QVariant(text));
  EXPECT_EQ(reader.ValueType(), 1);
}

TEST_F(RealRegistry, TypesExpansionListingAndDeletionAreTheRegistrysOwn) {
  cRegistry expandable = Accessor("Path", reg::kSz);
  expandable.SetValue(QStringLiteral("%SystemRoot%\\system32"));
  DWORD type = 0;
  RawAnsi("Path", &type);
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  const QString expanded = Accessor("Path", reg::kSz).Value().toString();
  EXPECT_FALSE(expanded.contains(QLatin1Char('%'))) << expanded.toStdString();
  EXPECT_TRUE(expanded.endsWith(QStringLiteral("\\system32"), Qt::CaseInsensitive));

  cRegistry number = Accessor("Count", reg::kDwordBigEndian);
  number.SetValue(-5);
  cRegistry numberBack = Accessor("Count", reg::kSz);
  EXPECT_EQ(numberBack.Value(), QVariant(-5));
  EXPECT_EQ(numberBack.ValueType(), 4);

  QStringList names;
  int count = -1;
  ASSERT_TRUE(Accessor(QString(), reg::kSz).EnumerateValues(names, count));
  EXPECT_EQ(count, 2);
  EXPECT_TRUE(names.contains(QStringLiteral("Path")) && names.contains(QStringLiteral("Count")));

  cRegistry sub = Accessor(QString(), reg::kSz);
  sub.SetSectionKey(key() + QStringLiteral("\\Unterschlüssel"));
  ASSERT_TRUE(sub.CreateKey());
  QStringList sections;
  ASSERT_TRUE(Accessor(QString(), reg::kSz).EnumerateSections(sections, count));
  EXPECT_EQ(sections, QStringList{QStringLiteral("Unterschlüssel")});
  // A key with a subkey is refused, as the registry refuses it.
  EXPECT_FALSE(Accessor(QString(), reg::kSz).DeleteKey());
  EXPECT_TRUE(sub.DeleteKey());
  EXPECT_FALSE(sub.KeyExists());

  EXPECT_TRUE(Accessor("Count", reg::kSz).DeleteValue());
  cRegistry gone = Accessor("Count", reg::kSz);
  gone.SetDefault(QStringLiteral("none"));
  EXPECT_EQ(gone.Value(), QVariant(QStringLiteral("none")));
}

TEST_F(RealRegistry, ATextStoredWithoutItsTerminatorKeepsItsLastCharacter) {
  ASSERT_EQ(Accessor("Probe", reg::kSz).CreateKey(), true);
  HKEY opened = nullptr;
  ASSERT_EQ(
      RegOpenKeyExA(HKEY_CURRENT_USER, key().toLatin1().constData(), 0, KEY_SET_VALUE, &opened),
      ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(opened, "Bare", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>("C:\\Gr\xFC"
                                                         "n"),
                           7),
            ERROR_SUCCESS);
  RegCloseKey(opened);
  cRegistry reader = Accessor("Bare", reg::kSz);
  EXPECT_EQ(reader.Value(), QVariant(QString::fromUtf8("C:\\Grün")));
}

TEST_F(RealRegistry, TextsTheCodePageCannotHoldAreRefusedAndNothingIsStored) {
  ASSERT_EQ(GetACP(), 1252u);
  cRegistry writer = Accessor("SearchAndReplace_Strings", reg::kSz);
  writer.SetValue(QStringLiteral("alt"));
  const QString greek = QString::fromUtf8("Ελληνικά*#*");
  EXPECT_QM_ERROR(writer.SetValue(greek), ErrorNumber(0x800469A9u),
                  ProgramBaseName() + ".cRegistry",
                  "Failed to set registry value Key: '-2147483647',Section: '" + key() +
                      "',Key: 'SearchAndReplace_Strings' to value: '" + greek + "'");
  DWORD type = 0;
  EXPECT_EQ(RawAnsi("SearchAndReplace_Strings", &type), QByteArray("alt", 4));
  // Nor does a name the code page cannot hold become one with "?" in it.
  cRegistry named = Accessor(QString::fromUtf8("Schlüssel ὁ"), reg::kSz);
  EXPECT_THROW(named.SetValue(QStringLiteral("x")), Error);
  QStringList names;
  int count = 0;
  Accessor(QString(), reg::kSz).EnumerateValues(names, count);
  EXPECT_EQ(names, QStringList{QStringLiteral("SearchAndReplace_Strings")});
}

// The stand-in host writes its registry texts as a host's ANSI calls do, in
// the system's code page, and the tool reads them back the same way: an
// install folder and a collection with umlauts survive, and the folder the
// tool finds is the one where the host's resource library lies.
TEST(Win32HostRegistry, UmlautsWrittenByTheStandInAreWhatTheToolReads) {
  ASSERT_EQ(GetACP(), 1252u);
  testing::ScopedConfigHome config;
  QTemporaryDir base;
  const QString folder = base.filePath(QString::fromUtf8("Programme/Quillmärke"));
  hostadmin::InstallHost(hostadmin::HostEdition::German, folder);
  host::WriteModernIconLibrary(QDir(folder).filePath(QStringLiteral("QMRes.dll")));
  hostadmin::CreateCollection(QString::fromUtf8("Bücher & Blätter"), false);

  const HostInstallation found = DiscoverHostInstallation();
  EXPECT_FALSE(found.englishEdition);
  EXPECT_EQ(found.installFolder, QDir(folder).absolutePath() + QLatin1Char('/'));
  EXPECT_TRUE(startup::ResourceLibraryExists(found.installFolder));
  platform::RegistryValue raw;
  ASSERT_EQ(platform::SystemRegistry(platform::RegistryView::k32Bit)
                .QueryValue(reg::kLocalMachine, QLatin1String(kGermanInstallKey), "AppPath", &raw),
            reg::kSuccess);
  EXPECT_TRUE(raw.data.contains("Quillm\xE4rke/")) << raw.data.toStdString();
  QStringList names;
  for (const auto& collection : hostadmin::ListCollections()) {
    names.append(collection.name);
  }
  EXPECT_TRUE(names.contains(QString::fromUtf8("Bücher & Blätter")))
      << names.join(u',').toStdString();

  // A collection name the code page cannot hold is refused with its reason.
  EXPECT_THROW(hostadmin::CreateCollection(QString::fromUtf8("Ελληνικά"), false), Error);
  EXPECT_EQ(static_cast<qsizetype>(hostadmin::ListCollections().size()), names.size());
}

// Wine keeps the two views of HKEY_LOCAL_MACHINE\SOFTWARE apart as 64-bit
// Windows does. The stand-in writes its install key where a 32-bit host
// would, and the tool finds it there; a key only the 64-bit view holds is
// the fallback. These are the real install keys, so all in one case. Under
// Wine the prefix is the suite's own, and whatever an interrupted run left
// there goes first; on a real machine a host that is installed keeps its
// keys, and the case is left out.
class Win32RegistryViews : public ::testing::Test {
 protected:
  void SetUp() override {
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
      if (!wine && KeyIn(view, "SOFTWARE\\orbelon")) {
        GTEST_SKIP() << "a host is installed here; its keys are left alone";
      }
    }
    ours_ = true;
    Clean();
  }
  void TearDown() override {
    if (ours_) {
      Clean();
    }
  }

  static void Clean() {
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
      for (const char* key : {kGermanInstallKey, kEnglishInstallKey}) {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, view, 0);
      }
      RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\orbelon", view, 0);
    }
  }

  static bool KeyIn(REGSAM view, const char* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | view, &opened) !=
        ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(opened);
    return true;
  }

  static void WriteIn(REGSAM view, const char* key, const char* folder) {
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE | view, nullptr,
                              &opened, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(opened, "AppPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                             static_cast<DWORD>(strlen(folder) + 1)),
              ERROR_SUCCESS);
    RegCloseKey(opened);
  }

  testing::NoRegistrySandbox realKeys_;
  bool ours_ = false;
};

TEST_F(Win32RegistryViews, TheHostsKeysAreInThe32BitViewAndThe64BitViewIsTheFallback) {
  host::WriteInstallFolder(hostadmin::HostEdition::German,
                           QString::fromUtf8("C:\\Programme\\Quillmärke\\"));
  EXPECT_TRUE(KeyIn(KEY_WOW64_32KEY, kGermanInstallKey));
  EXPECT_FALSE(KeyIn(KEY_WOW64_64KEY, kGermanInstallKey));  // the views are apart
  HostInstallation found = DiscoverHostInstallation();
  EXPECT_EQ(found.installFolder, QString::fromUtf8("C:\\Programme\\Quillmärke\\"));
  EXPECT_FALSE(found.englishEdition);
  ASSERT_TRUE(host::FindInstall().has_value());

  // Where the 32-bit view holds nothing, the 64-bit one is read.
  Clean();
  WriteIn(KEY_WOW64_64KEY, kEnglishInstallKey, "D:\\Quillmark64\\");
  found = DiscoverHostInstallation();
  EXPECT_EQ(found.installFolder, QStringLiteral("D:\\Quillmark64\\"));
  EXPECT_TRUE(found.englishEdition);
  EXPECT_EQ(host::FindInstall()->appPath, QStringLiteral("D:\\Quillmark64\\"));

  // Where both hold one, the 32-bit view's host wins, English or not.
  WriteIn(KEY_WOW64_32KEY, kEnglishInstallKey, "C:\\Quillmark32\\");
  WriteIn(KEY_WOW64_64KEY, kGermanInstallKey, "D:\\Quillmarke64\\");
  found = DiscoverHostInstallation();
  EXPECT_EQ(found.installFolder, QStringLiteral("C:\\Quillmark32\\"));
  EXPECT_TRUE(found.englishEdition);
  EXPECT_EQ(host::FindInstall()->appPath, QStringLiteral("C:\\Quillmark32\\"));
}

}  // namespace
}  // namespace qm
