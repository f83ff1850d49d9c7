// cRegistry's failures, word for word, and its key operations and listings.
#include "support/c_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <optional>

#include "common/test_environment.h"
#include "support/faulty_registry_store.h"

namespace qm {
namespace {

namespace reg = platform::reg;
using testing::FaultyRegistryStore;
using testing::ScopedConfigHome;

const QString kSource = QStringLiteral("qm_support_tests.cRegistry");

// Written out in full, not built from pieces, so that a wrong piece shows.
const QString kGermanNotWritable = QString::fromUtf8(
    "Folgender Wert konnte nicht in die Registry eingetragen werden, weil kein Zugriff "
    "gestattet wurde:\rHK_CURRENT_USER\\Software\\orbelon\\Quillmarke\\CurrentSettings\\"
    "SearchAndReplace_Strings\r\rBitte f\xC3\xBChren Sie den Registrierungs-Editor "
    "(regedt32.exe) aus, und stellen Sie dort sicher, dass Sie volle Zugriffsrechte auf den "
    "Schl\xC3\xBCssel HKEY_CURRENT_USER\\Software besitzen. (Im Registrierungs-Editor "
    "k\xC3\xB6nnen Sie im Men\xC3\xBC \"Bearbeiten\" unter \"Berechtigungen\" die "
    "Zugriffsrechte f\xC3\xBCr einen Registry-Schl\xC3\xBCssel \xC3\xA4ndern.)");

class RegistryClassTest : public ::testing::Test {
 protected:
  cRegistry Accessor(std::uint32_t root, const QString& key, const QString& name,
                     std::int32_t type = 1) {
    cRegistry registry(faulty_);
    registry.SetClassKey(static_cast<std::int32_t>(root));
    registry.SetSectionKey(key);
    registry.SetValueKey(name);
    registry.SetValueType(type);
    return registry;
  }

  void ScrambleStoreFile() {
    const QString path = platform::RegistryFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, '\x5A'));
  }

  ScopedConfigHome home_;
  FaultyRegistryStore faulty_{platform::SystemRegistry()};
};

// Left out under Wine (a suite named *Posix gets the ctest label posix_only):
// the Linux store's own file, damaged or unwritable, and key names longer
// than the real registry lets anyone create.
using RegistryClassTestPosix = RegistryClassTest;

TEST_F(RegistryClassTestPosix, KeyThatCannotBeWrittenBelowCurrentUserGetsTheGermanText) {
  ScrambleStoreFile();  // a real store that refuses every write
  cRegistry registry = Accessor(reg::kCurrentUser, "Software\\orbelon\\Quillmarke\\CurrentSettings",
                                "SearchAndReplace_Strings");
  EXPECT_QM_ERROR(registry.SetValue(QString("x")), 26001, kSource, kGermanNotWritable);

  // Whatever the code, and whatever the type: the key fails first.
  for (const std::int32_t code : {reg::kAccessDenied, reg::kBadDatabase, 1234}) {
    faulty_.failCreateKey = code;
    registry.SetValueType(3);
    EXPECT_QM_ERROR(registry.SetValue(QString("not bytes")), 26001, kSource, kGermanNotWritable);
  }
}

TEST_F(RegistryClassTest, KeyThatCannotBeWrittenElsewhereGetsTheEnglishTextWithItsCode) {
  const struct {
    std::uint32_t root;
    std::int32_t code;
    QVariant value;
    const char* expected;
  } cases[] = {
      {reg::kLocalMachine, reg::kAccessDenied, QString("C:\\Programme\\"),
       "Failed to set registry value Key: '-2147483646',Section: 'SOFTWARE\\orbelon\\Quillmarke',"
       "Key: 'AppPath' to value: 'C:\\Programme\\'\r\nErrorCode: 5"},
      {reg::kLocalMachine, reg::kBadDatabase, QVariant(12),
       "Failed to set registry value Key: '-2147483646',Section: 'SOFTWARE\\orbelon\\Quillmarke',"
       "Key: 'AppPath' to value: '12'\r\nErrorCode: 1009"},
      {reg::kClassesRoot, reg::kAccessDenied, QVariant(),
       "Failed to set registry value Key: '-2147483648',Section: 'SOFTWARE\\orbelon\\Quillmarke',"
       "Key: 'AppPath' to value: ''\r\nErrorCode: 5"},
  };
  for (const auto& c : cases) {
    faulty_.failCreateKey = c.code;
    cRegistry registry = Accessor(c.root, "SOFTWARE\\orbelon\\Quillmarke", "AppPath");
    EXPECT_QM_ERROR(registry.SetValue(c.value), 26001, kSource, QString::fromUtf8(c.expected));
  }
  // An unknown root is refused by the store itself.
  faulty_.failCreateKey.reset();
  cRegistry unknown = Accessor(0, "K", "v");
  EXPECT_QM_ERROR(unknown.SetValue(QString("x")), 26001, kSource,
                  "Failed to set registry value Key: '0',Section: 'K',Key: 'v' to value: 'x'"
                  "\r\nErrorCode: 6");
}

TEST_F(RegistryClassTest, FailedOrUnsupportedWritesRaiseAndStoreNothing) {
  const QString prefix = "Failed to set registry value Key: '-2147483647',Section: 'K',Key: 'v'";
  const struct {
    const char* label;
    std::int32_t type;
    QVariant value;
    std::optional<std::int32_t> storeFailure;
    const char* valueText;
  } cases[] = {
      {"type 0", 0, QString("x"), std::nullopt, "x"},
      {"type 6", 6, QString("x"), std::nullopt, "x"},
      {"type 7", 7, QString("x"), std::nullopt, "x"},
      {"type 8", 8, QVariant(3), std::nullopt, "3"},
      {"negative type", -1, QString("x"), std::nullopt, "x"},
      // Not a 16-bit or 32-bit number: reported rather than dropped.
      {"dword of text", 4, QString("12"), std::nullopt, "12"},
      {"dword of empty", 4, QVariant(), std::nullopt, ""},
      {"dword of 64-bit", 5, QVariant(qint64{1} << 40), std::nullopt, "1099511627776"},
      {"dword of bytes", 4, QByteArray("\x01\x02", 2), std::nullopt, "(2 bytes)"},
      {"text store fails", 1, QString("new"), reg::kIoFailed, "new"},
      {"bytes store fails", 3, QByteArray("abc"), reg::kAccessDenied, "(3 bytes)"},
      {"dword store fails", 4, QVariant(9), reg::kBadDatabase, "9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ASSERT_EQ(platform::SystemRegistry().CreateKey(reg::kCurrentUser, "K"), reg::kSuccess);
    ASSERT_EQ(platform::SystemRegistry().SetValue(reg::kCurrentUser, "K", "v", reg::kSz,
                                                  QByteArray("old\0", 4)),
              reg::kSuccess);
    faulty_.failSetValue = c.storeFailure;
    cRegistry registry = Accessor(reg::kCurrentUser, "K", "v", c.type);
    EXPECT_QM_ERROR(registry.SetValue(c.value), ErrorNumber(0x800469A9u), kSource,
                    prefix + " to value: '" + QString::fromUtf8(c.valueText) + "'");
    platform::RegistryValue stored;
    ASSERT_EQ(platform::SystemRegistry().QueryValue(reg::kCurrentUser, "K", "v", &stored),
              reg::kSuccess);
    EXPECT_EQ(stored.type, reg::kSz);
    EXPECT_EQ(stored.data, QByteArray("old\0", 4));
  }
}

// A text with a character the ANSI code page has no letter for is refused as
// a failed write, not stored with "?" or a look-alike in its place. (A lone
// surrogate has a letter in no code page, UTF-8 included.)
TEST_F(RegistryClassTest, TextTheCodePageCannotHoldIsRefusedNotMangled) {
  const QString text = QStringLiteral("Grüße ") + QChar(0xD800);
  cRegistry registry = Accessor(reg::kCurrentUser, "K", "v");
  registry.SetValue(QStringLiteral("old"));
  for (const std::int32_t type : {1, 2}) {
    registry.SetValueType(type);
    EXPECT_QM_ERROR(
        registry.SetValue(text), ErrorNumber(0x800469A9u), kSource,
        "Failed to set registry value Key: '-2147483647',Section: 'K',Key: 'v' to value: '" + text +
            "'");
  }
  EXPECT_EQ(registry.Value(), QVariant(QStringLiteral("old")));
  // Nor can such a name be a key or a value.
  registry.SetValueKey(text);
  registry.SetValueType(1);
  EXPECT_THROW(registry.SetValue(QStringLiteral("x")), Error);
  registry.SetValueKey(QStringLiteral("v"));
  registry.SetSectionKey(QStringLiteral("K\\") + text);
  EXPECT_THROW(registry.SetValue(QStringLiteral("x")), Error);
}

TEST_F(RegistryClassTest, BinaryWriteOfSomethingElseRaisesBareError) {
  for (const QVariant& value : {QVariant(QString("abc")), QVariant(5), QVariant()}) {
    cRegistry registry = Accessor(reg::kCurrentUser, "K", "bin", 3);
    EXPECT_QM_ERROR(registry.SetValue(value), 26001, "", "");
    platform::RegistryValue stored;
    EXPECT_EQ(platform::SystemRegistry().QueryValue(reg::kCurrentUser, "K", "bin", &stored),
              reg::kFileNotFound);
  }
}

TEST_F(RegistryClassTest, KeysAreCreatedTestedAndDeleted) {
  cRegistry registry = Accessor(reg::kLocalMachine, "SOFTWARE\\orbelon\\Quillmark", "AppPath");
  EXPECT_FALSE(registry.KeyExists());
  EXPECT_TRUE(registry.CreateKey());
  EXPECT_TRUE(registry.CreateKey());  // already there
  EXPECT_TRUE(registry.KeyExists());
  registry.SetSectionKey("software\\ORBELON\\quillmark");
  EXPECT_TRUE(registry.KeyExists());

  registry.SetSectionKey("SOFTWARE\\orbelon");
  EXPECT_FALSE(registry.DeleteKey());  // has a subkey
  EXPECT_TRUE(registry.KeyExists());
  registry.SetSectionKey("SOFTWARE\\orbelon\\Quillmark");
  EXPECT_TRUE(registry.DeleteKey());
  EXPECT_FALSE(registry.KeyExists());
  EXPECT_FALSE(registry.DeleteKey());  // gone already

  faulty_.failCreateKey = reg::kAccessDenied;
  registry.SetSectionKey("SOFTWARE\\New\\Key");
  EXPECT_QM_ERROR(registry.CreateKey(), 26001, kSource,
                  "Failed to create registry Key: 'SOFTWARE\\New\\Key");
}

TEST_F(RegistryClassTest, DeleteValueRemovesOrRaisesTheRightError) {
  cRegistry registry = Accessor(reg::kCurrentUser, "Software\\T", "Name");
  registry.SetValue(QString("x"));
  registry.SetValueKey("NAME");
  EXPECT_TRUE(registry.DeleteValue());
  EXPECT_EQ(registry.Value(), QVariant());

  EXPECT_QM_ERROR(registry.DeleteValue(), 26001, kSource,
                  "Failed to delete registry Key: '-2147483647',Section: 'Software\\T',Key: 'NAME");
  registry.SetSectionKey("Software\\Missing");
  EXPECT_QM_ERROR(registry.DeleteValue(), 26001, kSource,
                  "Failed to open key '-2147483647',Section: 'Software\\Missing' "
                  "for delete access");

  registry.SetSectionKey("Software\\T");
  registry.SetValue(QString("y"));
  faulty_.failDeleteValue = reg::kAccessDenied;
  EXPECT_THROW(registry.DeleteValue(), Error);
  EXPECT_EQ(registry.Value(), QVariant(QString("y")));
}

TEST_F(RegistryClassTest, EnumerateValuesListsNamesFromIndexZero) {
  QStringList names{"stale"};
  int count = 9;
  cRegistry registry = Accessor(reg::kCurrentUser, "Software\\E", "");
  EXPECT_TRUE(registry.EnumerateValues(names, count));  // key does not open
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(names.isEmpty());

  EXPECT_TRUE(registry.CreateKey());
  names = {"stale"};
  EXPECT_TRUE(registry.EnumerateValues(names, count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(names.isEmpty());

  for (const char* name : {"First", "second", "Third"}) {
    registry.SetValueKey(name);
    registry.SetValue(QString("x"));
  }
  EXPECT_TRUE(registry.EnumerateValues(names, count));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(names, (QStringList{"First", "second", "Third"}));
}

TEST_F(RegistryClassTestPosix, EnumerateSectionsStopsAtANameThatDoesNotFit) {
  QStringList names{"stale"};
  int count = 9;
  cRegistry registry = Accessor(reg::kCurrentUser, "Software\\S", "");
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(names.isEmpty());

  // 254 characters and a terminator fit the buffer of 255; the next name,
  // 255 characters, does not, and neither do 128 umlauts (256 bytes of
  // UTF-8), so the listing ends before them and never reaches "Last".
  const QString fits(254, QLatin1Char('a'));
  for (const QString& sub :
       {QString("One"), QString("two"), fits, QString(255, 'b'), QString("Last")}) {
    registry.SetSectionKey("Software\\S\\" + sub);
    ASSERT_TRUE(registry.CreateKey());
  }
  registry.SetSectionKey("Software\\S");
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(names, (QStringList{"One", "two", fits}));

  registry.SetSectionKey("Software\\U\\" + QString(128, QChar(0x00FC)));
  ASSERT_TRUE(registry.CreateKey());
  registry.SetSectionKey("Software\\U\\after");
  ASSERT_TRUE(registry.CreateKey());
  registry.SetSectionKey("Software\\U");
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 0);
}

TEST_F(RegistryClassTest, EnumerateSectionsReportsAnUnexpectedFailure) {
  cRegistry registry = Accessor(reg::kCurrentUser, "Software\\S\\Sub", "");
  ASSERT_TRUE(registry.CreateKey());
  registry.SetSectionKey("Software\\S");
  QStringList names;
  int count = 0;
  faulty_.failEnumSubkeys = reg::kIoFailed;  // the first index fails: an empty listing
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 0);

  faulty_.throwOnEnumSubkeys = true;
  EXPECT_QM_ERROR(registry.EnumerateSections(names, count), ErrorNumber(0x800469AAu), kSource,
                  "listing broke down");
}

// The listings stop at the index the registry did not answer: the names
// read before it are the listing, not an empty one.
TEST_F(RegistryClassTest, AListingThatFailsPartWayKeepsTheNamesBeforeTheFailure) {
  cRegistry registry = Accessor(reg::kCurrentUser, "Software\\P", "");
  for (const char* name : {"One", "Two", "Three"}) {
    registry.SetSectionKey(QStringLiteral("Software\\P\\") + QLatin1String(name));
    ASSERT_TRUE(registry.CreateKey());
    registry.SetSectionKey(QStringLiteral("Software\\P"));
    registry.SetValueKey(QLatin1String(name));
    registry.SetValue(QStringLiteral("x"));
  }
  // In the store's order, which need not be the order of creation.
  QStringList values;
  QStringList sections;
  int count = 0;
  ASSERT_TRUE(registry.EnumerateValues(values, count));
  ASSERT_EQ(count, 3);
  ASSERT_TRUE(registry.EnumerateSections(sections, count));
  ASSERT_EQ(count, 3);

  faulty_.failListingsAfter = 2;
  faulty_.listingFailure = reg::kIoFailed;
  QStringList names;
  EXPECT_TRUE(registry.EnumerateValues(names, count));
  EXPECT_EQ(count, 2);
  EXPECT_EQ(names, values.mid(0, 2));
  EXPECT_TRUE(registry.EnumerateSections(names, count));
  EXPECT_EQ(count, 2);
  EXPECT_EQ(names, sections.mid(0, 2));
}

TEST_F(RegistryClassTestPosix, DamagedStoreReadsDefaultAndKeepsItsBytes) {
  ScrambleStoreFile();
  const QByteArray before = [] {
    QFile file(platform::RegistryFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }();
  cRegistry registry = Accessor(reg::kLocalMachine, "SOFTWARE\\orbelon\\Quillmarke", "AppPath");
  registry.SetDefault(QString("default"));
  EXPECT_EQ(registry.Value(), QVariant(QString("default")));
  EXPECT_EQ(registry.ValueType(), 1);
  EXPECT_FALSE(registry.KeyExists());
  EXPECT_THROW(registry.SetValue(QString("x")), Error);
  EXPECT_THROW(registry.CreateKey(), Error);
  QFile file(platform::RegistryFilePath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), before);
}

}  // namespace
}  // namespace qm
