// A registry store for tests that wraps a real one: it passes every call
// through, records which keys were looked at, and fails chosen operations on
// demand with a chosen result code (or throws, to stand for a failure the
// store's contract does not foresee).
#pragma once

#include <QStringList>

#include <optional>
#include <stdexcept>

#include "platform/registry_store.h"

namespace qm::testing {

class FaultyRegistryStore final : public platform::RegistryStore {
 public:
  explicit FaultyRegistryStore(platform::RegistryStore& real) : real_(real) {}

  // A result code to return instead of calling the real store.
  std::optional<std::int32_t> failOpenKey;
  std::optional<std::int32_t> failCreateKey;
  std::optional<std::int32_t> failSetValue;
  std::optional<std::int32_t> failDeleteValue;
  std::optional<std::int32_t> failEnumSubkeys;
  bool throwOnEnumSubkeys = false;
  // Listings that fail after this many names, with listingFailure, as a
  // registry that breaks down part-way does.
  std::optional<qsizetype> failListingsAfter;
  std::int32_t listingFailure = platform::reg::kIoFailed;
  // Every key path is taken below this one (with its own backslash at the
  // end), so that two wrappers of one store can stand for two registries.
  QString keysBelow;

  // Every key path handed to OpenKey or QueryValue, in call order.
  QStringList keysRead;
  int writes = 0;

  std::int32_t OpenKey(std::uint32_t root, const QString& path) override {
    keysRead.append(path);
    return failOpenKey ? *failOpenKey : real_.OpenKey(root, keysBelow + path);
  }
  std::int32_t CreateKey(std::uint32_t root, const QString& path) override {
    ++writes;
    return failCreateKey ? *failCreateKey : real_.CreateKey(root, keysBelow + path);
  }
  std::int32_t DeleteKey(std::uint32_t root, const QString& path) override {
    ++writes;
    return real_.DeleteKey(root, keysBelow + path);
  }
  std::int32_t QueryValue(std::uint32_t root, const QString& path, const QString& name,
                          platform::RegistryValue* out) override {
    keysRead.append(path);
    return real_.QueryValue(root, keysBelow + path, name, out);
  }
  std::int32_t SetValue(std::uint32_t root, const QString& path, const QString& name,
                        std::uint32_t type, const QByteArray& data) override {
    ++writes;
    return failSetValue ? *failSetValue : real_.SetValue(root, keysBelow + path, name, type, data);
  }
  std::int32_t DeleteValue(std::uint32_t root, const QString& path, const QString& name) override {
    ++writes;
    return failDeleteValue ? *failDeleteValue : real_.DeleteValue(root, keysBelow + path, name);
  }
  std::int32_t EnumValueNames(std::uint32_t root, const QString& path,
                              QStringList* names) override {
    return PartWay(real_.EnumValueNames(root, keysBelow + path, names), names);
  }
  std::int32_t EnumSubkeyNames(std::uint32_t root, const QString& path,
                               QStringList* names) override {
    if (throwOnEnumSubkeys) {
      throw std::runtime_error("listing broke down");
    }
    return failEnumSubkeys ? *failEnumSubkeys
                           : PartWay(real_.EnumSubkeyNames(root, keysBelow + path, names), names);
  }

 private:
  std::int32_t PartWay(std::int32_t result, QStringList* names) const {
    if (result != platform::reg::kSuccess || !failListingsAfter ||
        names->size() <= *failListingsAfter) {
      return result;
    }
    *names = names->mid(0, *failListingsAfter);
    return listingFailure;
  }

  platform::RegistryStore& real_;
};

}  // namespace qm::testing
