#include "platform/string_resources.h"

#include "platform/le_bytes.h"
#include "platform/pe_resources.h"
#include "platform/win32/win32_handles.h"

namespace qm::platform {

std::optional<QString> LoadStringResource(std::uint16_t id, std::uint16_t langId) {
  const HMODULE self = GetModuleHandleA(nullptr);
  const int block = id / 16 + 1;
  // The exact language only: the caller decides which language it wants,
  // and the system's fallback order would answer with another one.
  const HRSRC found =
      FindResourceExA(self, MAKEINTRESOURCEA(6) /* RT_STRING */, MAKEINTRESOURCEA(block), langId);
  if (found == nullptr) {
    return std::nullopt;
  }
  const HGLOBAL loaded = LoadResource(self, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) {
    return std::nullopt;
  }
  const LittleEndianView view(QByteArrayView(static_cast<const char*>(bytes),
                                             static_cast<qsizetype>(SizeofResource(self, found))),
                              kErrorInvalidData, QStringLiteral("StringResource"));
  // Each of the 16 strings: its length in UTF-16 units, then the units.
  std::uint64_t offset = 0;
  for (int index = 0; index < id % 16; ++index) {
    offset += 2 + 2 * std::uint64_t{view.U16(offset)};
  }
  const std::uint16_t length = view.U16(offset);
  if (length == 0) {
    return std::nullopt;
  }
  const QByteArrayView units = view.Slice(offset + 2, 2 * std::uint64_t{length});
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(units.data()), length);
}

}  // namespace qm::platform
