#include "text/texts.h"

#include <algorithm>
#include <optional>

#include "platform/string_resources.h"
#include "platform/user_language.h"

namespace qm {
namespace {

const TextRow* Find(std::span<const TextRow> rows, int id) {
  const auto row = std::lower_bound(rows.begin(), rows.end(), id,
                                    [](const TextRow& r, int key) { return r.id < key; });
  return row != rows.end() && row->id == id ? &*row : nullptr;
}

}  // namespace

TextLanguage UserTextLanguage() {
  return platform::IsGermanLanguage(platform::GetUserDefaultLangID()) ? TextLanguage::German
                                                                      : TextLanguage::English;
}

QString Text(int id, TextLanguage language) {
  const bool german = language == TextLanguage::German;
  for (const TextTable table :
       {TextTable::Window, TextTable::Undo, TextTable::Review, TextTable::Own, TextTable::Controls,
        TextTable::Progress, TextTable::History}) {
    const TextRow* row = Find(TextRows(table), id);
    if (row == nullptr) {
      continue;
    }
    // A program that carries the window's table as resources (the Windows
    // build) reads it from there; the rows serve where it does not.
    if (table == TextTable::Window) {
      if (std::optional<QString> resource = platform::LoadStringResource(
              static_cast<std::uint16_t>(id), german ? 0x0407 : 0x0409)) {
        return *resource;
      }
    }
    return QString::fromUtf16(german ? row->german : row->english);
  }
  throw Error(kNoSuchTextError, QStringLiteral("TextTable"),
              QStringLiteral("The text table holds no text with the ID %1.").arg(id));
}

}  // namespace qm
