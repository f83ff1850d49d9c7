// Bounds-checked reading and plain writing of little-endian binary records.
//
// Readers of untrusted files (modules, icons, bitmaps) go through
// LittleEndianView: every read names its offset and length, the arithmetic is
// done in 64 bits so that no sum of two 32-bit fields can wrap, and a read
// outside the bytes raises qm::Error instead of touching memory it must not.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <type_traits>
#include <utility>

#include "platform/error.h"

namespace qm::platform {

class LittleEndianView {
 public:
  // errorNumber and source are what a read past the end raises.
  LittleEndianView(QByteArrayView bytes, std::int32_t errorNumber, QString source)
      : bytes_(bytes), errorNumber_(errorNumber), source_(std::move(source)) {}

  std::uint64_t size() const noexcept { return static_cast<std::uint64_t>(bytes_.size()); }

  // True when [offset, offset + length) lies inside the bytes.
  bool Contains(std::uint64_t offset, std::uint64_t length) const noexcept {
    return offset <= size() && length <= size() - offset;
  }

  std::uint8_t U8(std::uint64_t offset) const {
    Require(offset, 1);
    return static_cast<std::uint8_t>(bytes_[static_cast<qsizetype>(offset)]);
  }
  std::uint16_t U16(std::uint64_t offset) const {
    Require(offset, 2);
    return static_cast<std::uint16_t>(Byte(offset) | (Byte(offset + 1) << 8));
  }
  std::uint32_t U32(std::uint64_t offset) const {
    Require(offset, 4);
    return Byte(offset) | (Byte(offset + 1) << 8) | (Byte(offset + 2) << 16) |
           (Byte(offset + 3) << 24);
  }
  std::int32_t I32(std::uint64_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

  QByteArrayView Slice(std::uint64_t offset, std::uint64_t length) const {
    Require(offset, length);
    return bytes_.sliced(static_cast<qsizetype>(offset), static_cast<qsizetype>(length));
  }

  // Raises the view's error with the given description unless the condition
  // holds; the parsers use it to say which record is broken.
  void Check(bool condition, const QString& description) const {
    if (!condition) {
      throw Error(errorNumber_, source_, description);
    }
  }

  // The same, with a description made only when the check fails, for
  // checks on paths that run often.
  template <typename Describe>
  requires std::is_invocable_r_v<QString, Describe>
  void Check(bool condition, Describe&& describe) const {
    if (!condition) {
      throw Error(errorNumber_, source_, describe());
    }
  }

  void Require(std::uint64_t offset, std::uint64_t length) const {
    Check(Contains(offset, length), [&] {
      return QStringLiteral("The data ends before the %1 bytes at offset %2 that are needed.")
          .arg(length)
          .arg(offset);
    });
  }

 private:
  std::uint32_t Byte(std::uint64_t offset) const noexcept {
    return static_cast<std::uint8_t>(bytes_[static_cast<qsizetype>(offset)]);
  }

  QByteArrayView bytes_;
  std::int32_t errorNumber_;
  QString source_;
};

inline void AppendU8(QByteArray& out, std::uint32_t value) {
  out.append(static_cast<char>(value & 0xFFu));
}
inline void AppendU16(QByteArray& out, std::uint32_t value) {
  AppendU8(out, value);
  AppendU8(out, value >> 8);
}
inline void AppendU32(QByteArray& out, std::uint32_t value) {
  AppendU16(out, value & 0xFFFFu);
  AppendU16(out, value >> 16);
}
inline void AppendI32(QByteArray& out, std::int32_t value) {
  AppendU32(out, static_cast<std::uint32_t>(value));
}

// Overwrites four bytes at offset, which must already exist.
inline void PutU32(QByteArray& out, qsizetype offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
  }
}

}  // namespace qm::platform
