#include "startup/text_table.h"

#include <array>
#include <iterator>
#include <optional>

#include "engine/texts.h"
#include "platform/error.h"
#include "platform/string_resources.h"
#include "platform/user_language.h"

namespace qm::startup {
namespace {

// The table's numbers, for the test that finds each of them among the
// program file's resources.
constexpr auto kIds = [] {
  std::array<std::uint16_t, std::size(kTableTexts)> ids{};
  for (std::size_t i = 0; i < ids.size(); ++i) {
    ids[i] = static_cast<std::uint16_t>(kTableTexts[i].id);
  }
  return ids;
}();

}  // namespace

TextLanguage UserTextLanguage() {
  return platform::IsGermanLanguage(platform::GetUserDefaultLangID()) ? TextLanguage::German
                                                                      : TextLanguage::English;
}

QString LoadText(std::uint16_t id, TextLanguage language) {
  const TextRow* row = FindText(kTableTexts, id);
  if (row == nullptr) {
    throw Error(ErrorNumber(0x80040000u | 0x0716u), QStringLiteral("TextTable"),
                QStringLiteral("The text table holds no text %1.").arg(id));
  }
  // A program that carries the table as resources (the Windows build) reads
  // it from there; the rows serve where it does not.
  const bool german = language == TextLanguage::German;
  if (std::optional<QString> resource =
          platform::LoadStringResource(id, german ? 0x0407 : 0x0409)) {
    return *resource;
  }
  return TextIn(*row, german);
}

QString LoadText(std::uint16_t id) { return LoadText(id, UserTextLanguage()); }

const std::uint16_t* TextIdsBegin() { return kIds.data(); }
const std::uint16_t* TextIdsEnd() { return kIds.data() + kIds.size(); }

}  // namespace qm::startup
