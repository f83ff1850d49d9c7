#include "startup/search_option_settings.h"

#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "startup/host_discovery.h"
#include "startup/search_history.h"

namespace qm {
namespace {

namespace reg = platform::reg;
using testing::ScopedConfigHome;

void Store(std::uint32_t type, const QByteArray& data, const char* name = kOptionsValueName) {
  auto& store = platform::SystemRegistry();
  ASSERT_EQ(store.CreateKey(reg::kCurrentUser, kEnglishSettingsKey), reg::kSuccess);
  ASSERT_EQ(store.SetValue(reg::kCurrentUser, kEnglishSettingsKey, name, type, data),
            reg::kSuccess);
}

QByteArray Dword(std::uint32_t bits) {
  QByteArray data(4, '\0');
  for (int i = 0; i < 4; ++i) {
    data[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  }
  return data;
}

TEST(SearchOptionSettings, EveryCombinationComesBackAsSavedBesideTheHistory) {
  ScopedConfigHome home;
  SaveSearchHistory(kEnglishSettingsKey, {"kept"}, "");
  for (std::uint32_t bits = 0; bits < 16; ++bits) {
    const SearchOptions options{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
    SaveSearchOptions(kEnglishSettingsKey, options);
    platform::RegistryValue stored;
    ASSERT_EQ(platform::SystemRegistry().QueryValue(reg::kCurrentUser, kEnglishSettingsKey,
                                                    kOptionsValueName, &stored),
              reg::kSuccess);
    EXPECT_EQ(stored.type, reg::kDword);
    EXPECT_EQ(stored.data, Dword(bits)) << bits;
    EXPECT_EQ(LoadSearchOptions(kEnglishSettingsKey), options) << bits;
  }
  EXPECT_EQ(LoadSearchOptions(kGermanSettingsKey), SearchOptions{}) << "the other edition's key";
  EXPECT_EQ(LoadSearchHistory(kEnglishSettingsKey, 0x0409), QStringList{"kept"});
}

TEST(SearchOptionSettings, AValueThatIsNotOursGivesAllOff) {
  const struct {
    const char* label;
    std::uint32_t type;
    QByteArray data;
  } cases[] = {
      {"a bit no option owns", reg::kDword, Dword(kMatchCaseBit | (1u << 4))},
      {"every bit", reg::kDword, Dword(0xFFFFFFFFu)},
      {"the top bit", reg::kDword, Dword(0x80000001u)},
      {"too short", reg::kDword, QByteArray("\x01\x00", 2)},
      {"too long", reg::kDword, QByteArray("\x01\x00\x00\x00\x00", 5)},
      {"empty", reg::kDword, QByteArray()},
      {"a text of a number", reg::kSz, QByteArray("3\0", 2)},
      {"bytes", reg::kBinary, QByteArray("\x03\x00\x00\x00", 4)},
      {"an unknown type", 0x4242, Dword(kPatternBit)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ScopedConfigHome home;
    Store(c.type, c.data);
    EXPECT_EQ(LoadSearchOptions(kEnglishSettingsKey), SearchOptions{});
  }
  ScopedConfigHome home;
  EXPECT_EQ(LoadSearchOptions(kEnglishSettingsKey), SearchOptions{}) << "missing";
}

}  // namespace
}  // namespace qm
