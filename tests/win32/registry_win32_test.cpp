// The registry seam against the real registry: values written through the
// tool's registry class land in the registry as the registry's own
// functions see them, texts in the ANSI code page (1252 here), and come back
// unchanged.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "platform/registry_store.h"
#include "support/c_registry.h"

namespace qm {
namespace {

namespace reg = platform::reg;

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
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key_.constData(), 0, KEY_QUERY_VALUE, &opened), ERROR_SUCCESS);
    char buffer[512] = {};
    DWORD size = sizeof(buffer);
    EXPECT_EQ(RegQueryValueExA(opened, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    RegCloseKey(opened);
    return QByteArray(buffer, static_cast<qsizetype>(size));
  }

 private:
  testing::ScopedEnv noSandbox_{"QM_REGISTRY_SANDBOX", QByteArray()};
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
  EXPECT_EQ(raw, QByteArray("Gr\xFC\xDF" "e aus K\xF6ln \x96 \xC4pfel, \xD6l, \xDC" "berma\xDF", 35) + '\0');

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

}  // namespace
}  // namespace qm
