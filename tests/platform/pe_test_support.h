// Shared by the module reader's tests: small images, and where the writer
// puts things, so that tests can break a module in one precise place.
#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>

#include "platform/le_bytes.h"

namespace qm::pe_test {

// The writer's fixed layout: PE header at 0x40, PE32 optional header after
// it, one section header, and the resource section at file offset 0x200
// (address 0x1000).
inline constexpr qsizetype kPeHeaderAt = 0x40;
inline constexpr qsizetype kSectionCountAt = 0x46;
inline constexpr qsizetype kOptionalSizeAt = 0x54;
inline constexpr qsizetype kOptionalAt = 0x58;
inline constexpr qsizetype kDirectoryCountAt = kOptionalAt + 92;
inline constexpr qsizetype kResourceRvaAt = kOptionalAt + 96 + 16;
inline constexpr qsizetype kSectionTableAt = kOptionalAt + 0xE0;
inline constexpr qsizetype kRootAt = 0x200;

inline QImage SolidImage(int side, QRgb color) {
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(color);
  return image;
}

inline std::uint32_t U32At(const QByteArray& bytes, qsizetype at) {
  return platform::LittleEndianView(bytes, 0, QString()).U32(static_cast<std::uint64_t>(at));
}

inline void PutU16(QByteArray& bytes, qsizetype at, std::uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

// File offsets of the records that lead to the first icon group of a
// library the writer built: the root's entry for RT_GROUP_ICON, the first
// name entry below it, its language entry and its data entry.
struct GroupPath {
  qsizetype typeEntry = 0;
  qsizetype nameDirectory = 0;
  qsizetype nameEntry = 0;
  qsizetype languageDirectory = 0;
  qsizetype languageEntry = 0;
  qsizetype dataEntry = 0;
};

inline GroupPath FindGroupPath(const QByteArray& module) {
  GroupPath path;
  const qsizetype entries = kRootAt + 16;
  // Types are numbered: RT_ICON (3) first, then RT_GROUP_ICON (14).
  path.typeEntry = entries + 8;
  path.nameDirectory = kRootAt + (U32At(module, path.typeEntry + 4) & 0x7FFFFFFF);
  path.nameEntry = path.nameDirectory + 16;
  path.languageDirectory = kRootAt + (U32At(module, path.nameEntry + 4) & 0x7FFFFFFF);
  path.languageEntry = path.languageDirectory + 16;
  path.dataEntry = kRootAt + U32At(module, path.languageEntry + 4);
  return path;
}

// The same module with a PE32+ optional header (240 bytes) in place of the
// PE32 one, the section table moved behind it.
inline QByteArray ToPe32Plus(QByteArray module) {
  const QByteArray section = module.mid(kSectionTableAt, 40);
  const std::uint32_t resourceRva = U32At(module, kResourceRvaAt);
  const std::uint32_t resourceSize = U32At(module, kResourceRvaAt + 4);
  module.replace(kOptionalAt, 0x200 - kOptionalAt, QByteArray(0x200 - kOptionalAt, '\0'));
  PutU16(module, kOptionalSizeAt, 0xF0);
  PutU16(module, kOptionalAt, 0x20B);
  platform::PutU32(module, kOptionalAt + 108, 16);
  platform::PutU32(module, kOptionalAt + 112 + 16, resourceRva);
  platform::PutU32(module, kOptionalAt + 112 + 20, resourceSize);
  module.replace(kOptionalAt + 0xF0, 40, section);
  return module;
}

}  // namespace qm::pe_test
