// cRegistry: the program's only way to the registry.
//
// An instance addresses one value by root (ClassKey), key path (SectionKey)
// and value name (ValueKey). The caller sets those, the value type and a
// default, and then reads or writes Value. Every operation opens what it
// needs and closes it again; the instance holds nothing open between calls.
//
// Values are variants: an invalid QVariant is "empty", 16-bit and 32-bit
// whole numbers are short and int, texts QString, byte arrays QByteArray.
//
// Failures are thrown as qm::Error with the numbers below; reading Value
// never fails (anything that goes wrong yields Default), and DeleteKey
// reports failure by returning false.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>

#include "platform/error.h"
#include "platform/registry_store.h"

namespace qm {

// Error numbers of the class.
inline constexpr std::int32_t kRegistryError = 26001;
inline constexpr std::int32_t kRegistryWriteError = ErrorNumber(0x800469A9u);
inline constexpr std::int32_t kRegistryEnumerateError = ErrorNumber(0x800469AAu);

class cRegistry {
 public:
  explicit cRegistry(platform::RegistryStore& store = platform::SystemRegistry());

  // The predefined root as its handle value, signed (HKEY_LOCAL_MACHINE is
  // -2147483646); platform::reg::kCurrentUser and friends may be passed.
  std::int32_t ClassKey() const { return classKey_; }
  void SetClassKey(std::int32_t eKey) { classKey_ = eKey; }

  const QString& SectionKey() const { return sectionKey_; }
  void SetSectionKey(const QString& sSectionKey) { sectionKey_ = sSectionKey; }

  const QString& ValueKey() const { return valueKey_; }
  void SetValueKey(const QString& sValueKey) { valueKey_ = sValueKey; }

  // Chosen by the caller before a write; replaced by the stored type on every
  // read that finds the value.
  std::int32_t ValueType() const { return valueType_; }
  void SetValueType(std::int32_t eValueType) { valueType_ = eValueType; }

  const QVariant& Default() const { return default_; }
  void SetDefault(const QVariant& vDefault) { default_ = vDefault; }

  // Whether reading an expandable string expands its environment variables
  // (on by default). A caller that stores user text, which the class may
  // have kept as an expandable string because it holds two "%", turns it off
  // to get that text back as it was written.
  bool ExpandStrings() const { return expandStrings_; }
  void SetExpandStrings(bool bExpand) { expandStrings_ = bExpand; }

  // Reads the value, converted by its stored type: texts (expandable ones
  // with environment variables expanded; a text stored without its
  // terminator keeps its last character), a number for 32-bit types, the
  // raw bytes for everything else. Anything that goes wrong gives Default.
  QVariant Value();

  // Writes the value by ValueType, creating missing keys. Types 1 and 2
  // store a text, as an expandable string when it holds "%" and another "%"
  // with at least one character between them; 3 a byte array; 4 and 5 a
  // 16-bit or 32-bit number as a 32-bit REG_DWORD. Texts are stored in the
  // system's ANSI code page; one it cannot hold is not stored with "?" in
  // its place but fails as a failed write does. Throws qm::Error; a failed
  // write leaves the stored value unchanged.
  void SetValue(const QVariant& vValue);

  bool KeyExists() const;
  // True when the key was created or was there; throws when it cannot be.
  bool CreateKey();
  // True when the key was deleted; a key with subkeys is not. Never throws.
  bool DeleteKey();
  // True when the value was deleted; throws otherwise.
  bool DeleteValue();

  // Fill the list with the names of the key's values (subkeys) in the
  // store's order and set the count; a key that does not open gives an
  // empty list and 0, a listing that fails part-way the names before the
  // failure. The lists are 0-based: names at 0 to count - 1.
  bool EnumerateValues(QStringList& sKeyNames, int& iKeyCount);
  bool EnumerateSections(QStringList& sSect, int& iSectCount);

 private:
  std::uint32_t Root() const { return static_cast<std::uint32_t>(classKey_); }
  QVariant ReadStored(const platform::RegistryValue& stored) const;
  void StoreByType(const QVariant& vValue);
  [[noreturn]] void RaiseKeyError(const QVariant& vValue, std::int32_t result) const;

  platform::RegistryStore* store_;
  std::int32_t classKey_ = 0;
  QString sectionKey_;
  QString valueKey_;
  std::int32_t valueType_ = 0;
  QVariant default_;
  bool expandStrings_ = true;
};

}  // namespace qm
