// Reading and writing Value: the conversion by type, in both directions,
// checked against the bytes the store really holds.
#include "support/c_registry.h"

#include <gtest/gtest.h>

#include <climits>

#include "common/test_environment.h"
#include "platform/environment.h"

namespace qm {
namespace {

namespace reg = platform::reg;
using testing::ScopedConfigHome;
using testing::ScopedEnv;

constexpr char kKey[] = "Software\\orbelon\\Test";

class RegistryValueTest : public ::testing::Test {
 protected:
  cRegistry Accessor(std::int32_t valueType, const QString& name = "v") {
    cRegistry registry;
    registry.SetClassKey(reg::kCurrentUser);
    registry.SetSectionKey(kKey);
    registry.SetValueKey(name);
    registry.SetValueType(valueType);
    return registry;
  }

  platform::RegistryValue Stored(const QString& name = "v") {
    platform::RegistryValue stored;
    EXPECT_EQ(platform::SystemRegistry().QueryValue(reg::kCurrentUser, kKey, name, &stored),
              reg::kSuccess);
    return stored;
  }

  void StoreRaw(std::uint32_t type, const QByteArray& data, const QString& name = "v") {
    auto& store = platform::SystemRegistry();
    ASSERT_EQ(store.CreateKey(reg::kCurrentUser, kKey), reg::kSuccess);
    ASSERT_EQ(store.SetValue(reg::kCurrentUser, kKey, name, type, data), reg::kSuccess);
  }

  ScopedConfigHome home_;
  ScopedEnv folder_{"QM_TEST_FOLDER", "/srv/qm"};
};

TEST_F(RegistryValueTest, StartsEmpty) {
  cRegistry registry;
  EXPECT_EQ(registry.ClassKey(), 0);
  EXPECT_TRUE(registry.SectionKey().isEmpty());
  EXPECT_TRUE(registry.ValueKey().isEmpty());
  EXPECT_EQ(registry.ValueType(), 0);
  EXPECT_FALSE(registry.Default().isValid());
  EXPECT_FALSE(registry.Value().isValid());  // root 0 opens nothing: the empty default
}

TEST_F(RegistryValueTest, WritesEachTypeAsTheRegistryKeepsIt) {
  const struct {
    const char* label;
    std::int32_t valueType;
    QVariant value;
    std::uint32_t storedType;
    QByteArray storedData;
    QVariant readBack;
    std::int32_t typeAfterRead;
  } cases[] = {
      {"text", 1, QString("heise online - "), reg::kSz, QByteArray("heise online - \0", 16),
       QString("heise online - "), 1},
      {"empty text", 1, QString(""), reg::kSz, QByteArray("\0", 1), QString(""), 1},
      {"empty value", 1, QVariant(), reg::kSz, QByteArray("\0", 1), QString(""), 1},
      // Texts are stored in the system's ANSI code page (UTF-8 on Linux).
      {"umlauts", 1, QString("Grüße"), reg::kSz,
       platform::ToAnsi(QString("Grüße")) + QByteArray("\0", 1), QString("Grüße"), 1},
      {"number as text", 1, QVariant(42), reg::kSz, QByteArray("42\0", 3), QString("42"), 1},
      {"variable", 1, QString("%QM_TEST_FOLDER%\\bin"), reg::kExpandSz,
       QByteArray("%QM_TEST_FOLDER%\\bin\0", 21), QString("/srv/qm\\bin"), 2},
      {"one char between", 1, QString("a%b%c"), reg::kExpandSz, QByteArray("a%b%c\0", 6),
       QString("a%b%c"), 2},
      {"pair after a pair", 1, QString("%%x%"), reg::kExpandSz, QByteArray("%%x%\0", 5),
       QString("%%x%"), 2},
      {"adjacent pair", 1, QString("100%%"), reg::kSz, QByteArray("100%%\0", 6), QString("100%%"),
       1},
      {"single percent", 1, QString("50% off"), reg::kSz, QByteArray("50% off\0", 8),
       QString("50% off"), 1},
      {"type 2 plain", 2, QString("plain"), reg::kSz, QByteArray("plain\0", 6), QString("plain"),
       1},
      {"type 2 variable", 2, QString("%QM_TEST_FOLDER%"), reg::kExpandSz,
       QByteArray("%QM_TEST_FOLDER%\0", 17), QString("/srv/qm"), 2},
      {"bytes", 3, QByteArray("\x00\x01\xFF", 3), reg::kBinary, QByteArray("\x00\x01\xFF", 3),
       QByteArray("\x00\x01\xFF", 3), 3},
      {"no bytes", 3, QByteArray(""), reg::kBinary, QByteArray(), QByteArray(""), 3},
      {"int", 4, QVariant(-5), reg::kDword, QByteArray("\xFB\xFF\xFF\xFF", 4), QVariant(-5), 4},
      {"short", 4, QVariant::fromValue<short>(-2), reg::kDword, QByteArray("\xFE\xFF\xFF\xFF", 4),
       QVariant(-2), 4},
      {"big-endian type", 5, QVariant(0x12345678), reg::kDword, QByteArray("\x78\x56\x34\x12", 4),
       QVariant(0x12345678), 4},
      {"big-endian short", 5, QVariant::fromValue<short>(SHRT_MAX), reg::kDword,
       QByteArray("\xFF\x7F\x00\x00", 4), QVariant(SHRT_MAX), 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    cRegistry writer = Accessor(c.valueType);
    writer.SetValue(c.value);
    EXPECT_EQ(writer.ValueType(), c.valueType);  // a write keeps the caller's type
    const platform::RegistryValue stored = Stored();
    EXPECT_EQ(stored.type, c.storedType);
    EXPECT_EQ(stored.data, c.storedData);

    cRegistry reader = Accessor(0);
    const QVariant read = reader.Value();
    EXPECT_EQ(read.typeId(), c.readBack.typeId());
    EXPECT_EQ(read, c.readBack);
    EXPECT_EQ(reader.ValueType(), c.typeAfterRead);
  }
}

TEST_F(RegistryValueTest, ReadsStoredDataByItsTypeWithinItsBounds) {
  const QVariant fallback("fallback");
  const struct {
    const char* label;
    std::uint32_t type;
    QByteArray data;
    QVariant expected;
  } cases[] = {
      {"text", reg::kSz, QByteArray("abc\0", 4), QString("abc")},
      {"text of size 0", reg::kSz, QByteArray(), fallback},
      {"only the terminator", reg::kSz, QByteArray("\0", 1), QString("")},
      // Only a terminator is taken off: a text stored without one (by
      // another program's RegSetValueExA, say) keeps its last character.
      {"no terminator: nothing dropped", reg::kSz, QByteArray("abc"), QString("abc")},
      {"multi-string without its last zero", reg::kMultiSz, QByteArray("a\0bc\0", 5),
       QString::fromUtf8("a\0bc", 4)},
      {"plain text keeps variables", reg::kSz, QByteArray("%QM_TEST_FOLDER%\0", 17),
       QString("%QM_TEST_FOLDER%")},
      {"expandable", reg::kExpandSz, QByteArray("x%QM_TEST_FOLDER%y\0", 19), QString("x/srv/qmy")},
      {"expandable of size 0", reg::kExpandSz, QByteArray(), fallback},
      {"multi-string", reg::kMultiSz, QByteArray("a\0bc\0\0", 6), QString::fromUtf8("a\0bc\0", 5)},
      {"multi-string of size 0", reg::kMultiSz, QByteArray(), fallback},
      {"dword", reg::kDword, QByteArray("\x01\x02\x00\x00", 4), QVariant(0x0201)},
      {"negative dword", reg::kDword, QByteArray("\x00\x00\x00\x80", 4), QVariant(INT_MIN)},
      {"short dword", reg::kDword, QByteArray("\x01\x02\x03", 3), fallback},
      {"empty dword", reg::kDword, QByteArray(), fallback},
      {"long dword", reg::kDword, QByteArray("\x01\x02\x03\x04\x05", 5), fallback},
      {"big-endian", reg::kDwordBigEndian, QByteArray("\x12\x34\x56\x78", 4), QVariant(0x12345678)},
      {"big-endian sign", reg::kDwordBigEndian, QByteArray("\xFF\xFF\xFF\xFE", 4), QVariant(-2)},
      {"short big-endian", reg::kDwordBigEndian, QByteArray("\x12", 1), fallback},
      {"binary", reg::kBinary, QByteArray("\x00\xFF", 2), QByteArray("\x00\xFF", 2)},
      {"empty binary", reg::kBinary, QByteArray(), QByteArray("")},
      {"link", reg::kLink, QByteArray("l\0k\0", 4), QByteArray("l\0k\0", 4)},
      {"none", reg::kNone, QByteArray("zz"), QByteArray("zz")},
      {"unknown type", 42, QByteArray("\x07", 1), QByteArray("\x07", 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    StoreRaw(c.type, c.data);
    cRegistry reader = Accessor(99);
    reader.SetDefault(fallback);
    const QVariant read = reader.Value();
    EXPECT_EQ(read.typeId(), c.expected.typeId());
    EXPECT_EQ(read, c.expected);
    EXPECT_EQ(reader.ValueType(), static_cast<std::int32_t>(c.type));
  }
}

TEST_F(RegistryValueTest, NothingToReadGivesDefaultAndKeepsValueType) {
  const QVariant fallback(QStringList{"a", "b"}.join("*#*"));
  cRegistry missingKey = Accessor(7);
  missingKey.SetDefault(fallback);
  EXPECT_EQ(missingKey.Value(), fallback);
  EXPECT_EQ(missingKey.ValueType(), 7);

  StoreRaw(reg::kDword, QByteArray(4, '\0'), "other");
  cRegistry missingValue = Accessor(7);
  missingValue.SetDefault(fallback);
  EXPECT_EQ(missingValue.Value(), fallback);
  EXPECT_EQ(missingValue.ValueType(), 7);

  cRegistry unknownRoot = Accessor(7);
  unknownRoot.SetClassKey(0x12345);
  unknownRoot.SetValueKey("other");
  unknownRoot.SetDefault(fallback);
  EXPECT_EQ(unknownRoot.Value(), fallback);
  EXPECT_EQ(unknownRoot.ValueType(), 7);

  cRegistry found = Accessor(7, "OTHER");  // value names ignore case
  EXPECT_EQ(found.Value(), QVariant(0));
  EXPECT_EQ(found.ValueType(), 4);
}

TEST_F(RegistryValueTest, ExpansionCanBeTurnedOffForVerbatimText) {
  cRegistry writer = Accessor(1);
  writer.SetValue(QString("%QM_TEST_FOLDER% - "));
  ASSERT_EQ(Stored().type, reg::kExpandSz);
  cRegistry reader = Accessor(1);
  EXPECT_TRUE(reader.ExpandStrings());
  EXPECT_EQ(reader.Value(), QVariant(QString("/srv/qm - ")));
  reader.SetExpandStrings(false);
  EXPECT_EQ(reader.Value(), QVariant(QString("%QM_TEST_FOLDER% - ")));
  EXPECT_EQ(reader.ValueType(), 2);
}

TEST_F(RegistryValueTest, BinaryReadAndWrittenBackStoresTheSameBytes) {
  QByteArray bytes;
  for (int i = 0; i < 300; ++i) {
    bytes.append(static_cast<char>(i * 37));
  }
  StoreRaw(reg::kBinary, bytes);
  cRegistry registry = Accessor(0);
  const QVariant read = registry.Value();
  registry.SetValue(read);  // ValueType is 3 after the read
  EXPECT_EQ(Stored().type, reg::kBinary);
  EXPECT_EQ(Stored().data, bytes);
}

TEST_F(RegistryValueTest, WriteCreatesMissingKeysAndReplacesTheOldValue) {
  cRegistry registry = Accessor(1);
  registry.SetSectionKey(QString(kKey) + "\\Deeper\\Still");
  EXPECT_FALSE(registry.KeyExists());
  registry.SetValue(QString("one"));
  EXPECT_TRUE(registry.KeyExists());
  registry.SetValueType(4);
  registry.SetValue(7);
  EXPECT_EQ(registry.Value(), QVariant(7));
  EXPECT_EQ(registry.ValueType(), 4);
}

}  // namespace
}  // namespace qm
