// The program's own string-table resources.
//
// On Windows the text table travels in the program file as STRINGTABLE
// resources, one per language (16 strings to a block: identifier n lives in
// block n / 16 + 1 at position n % 16). On Linux a program carries no such
// resources and the texts live in its code.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace qm::platform {

// The string with the identifier in the language (a Windows language
// identifier such as 0x0407) from the running program's resources; nothing
// when the program has no such string in that language. Bytes of the block
// are checked before they are read.
std::optional<QString> LoadStringResource(std::uint16_t id, std::uint16_t langId);

}  // namespace qm::platform
