#include "startup/search_option_settings.h"

#include <QVariant>

#include "support/c_registry.h"

namespace qm {

namespace {

constexpr std::uint32_t kAllBits = kMatchCaseBit | kWholeWordsBit | kPatternBit | kPreserveCaseBit;

cRegistry OptionsAccessor(const QString& settingsKey, platform::RegistryStore& store) {
  cRegistry registry(store);
  registry.SetClassKey(static_cast<std::int32_t>(platform::reg::kCurrentUser));
  registry.SetSectionKey(settingsKey);
  registry.SetValueType(static_cast<std::int32_t>(platform::reg::kDword));
  registry.SetValueKey(QLatin1String(kOptionsValueName));
  return registry;
}

}  // namespace

std::uint32_t EncodeSearchOptions(const SearchOptions& options) {
  return (options.matchCase ? kMatchCaseBit : 0u) | (options.wholeWords ? kWholeWordsBit : 0u) |
         (options.pattern ? kPatternBit : 0u) | (options.preserveCase ? kPreserveCaseBit : 0u);
}

std::optional<SearchOptions> DecodeSearchOptions(std::uint32_t bits) {
  if ((bits & ~kAllBits) != 0) {
    return std::nullopt;
  }
  SearchOptions options;
  options.matchCase = (bits & kMatchCaseBit) != 0;
  options.wholeWords = (bits & kWholeWordsBit) != 0;
  options.pattern = (bits & kPatternBit) != 0;
  options.preserveCase = (bits & kPreserveCaseBit) != 0;
  return options;
}

SearchOptions LoadSearchOptions(const QString& settingsKey, platform::RegistryStore& store) {
  const QVariant stored = OptionsAccessor(settingsKey, store).Value();
  // A text such as "3" would convert to a number: only a stored DWORD counts.
  if (stored.typeId() != QMetaType::Int) {
    return {};
  }
  return DecodeSearchOptions(static_cast<std::uint32_t>(stored.toInt())).value_or(SearchOptions{});
}

void SaveSearchOptions(const QString& settingsKey, const SearchOptions& options,
                       platform::RegistryStore& store) {
  OptionsAccessor(settingsKey, store).SetValue(static_cast<int>(EncodeSearchOptions(options)));
}

}  // namespace qm
