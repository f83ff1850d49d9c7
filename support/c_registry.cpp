#include "support/c_registry.h"

#include <QtEndian>

#include <cstring>
#include <exception>
#include <optional>

#include "platform/environment.h"
#include "support/registry_messages.h"

namespace qm {

namespace reg = platform::reg;
namespace msg = registry_messages;

namespace {

// Subkey names are read into a buffer of this many ANSI characters, the
// terminator included; a longer name does not fit and ends the listing.
constexpr qsizetype kSubkeyNameBuffer = 255;

// An expandable string needs a "%" and a further "%" with at least one
// character between them.
bool LooksExpandable(const QString& text) {
  const qsizetype first = text.indexOf(QLatin1Char('%'));
  return first >= 0 && text.indexOf(QLatin1Char('%'), first + 2) >= 0;
}

// The text a value is stored as by a string write; nothing for a value that
// has no text form.
std::optional<QString> StoredText(const QVariant& value) {
  if (!value.isValid()) {
    return QString();
  }
  switch (value.typeId()) {
    case QMetaType::QString:
      return value.toString();
    case QMetaType::QByteArray:
      return platform::FromAnsi(value.toByteArray());
    case QMetaType::Bool:
      return msg::DescribeValue(value);
    default:
      if (value.canConvert<QString>()) {
        return value.toString();
      }
      return std::nullopt;
  }
}

// A 16-bit or 32-bit whole number; nothing for any other value.
std::optional<std::int32_t> WholeNumber(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Short:
      return static_cast<std::int32_t>(value.value<short>());
    case QMetaType::Int:
      return static_cast<std::int32_t>(value.toInt());
    default:
      return std::nullopt;
  }
}

// The text in the ANSI code page with its terminator; nothing when the code
// page cannot hold it, so that no "?" is stored in its place.
std::optional<QByteArray> TextData(const QString& text) {
  std::optional<QByteArray> data = platform::ToAnsiExactly(text);
  if (data) {
    data->append('\0');
  }
  return data;
}

// A text value's characters: everything stored but its terminator. A value
// stored without one is whole.
QByteArray TextBytes(const QByteArray& data) {
  return data.endsWith('\0') ? data.left(data.size() - 1) : data;
}

}  // namespace

cRegistry::cRegistry(platform::RegistryStore& store) : store_(&store) {}

QVariant cRegistry::Value() {
  try {
    platform::RegistryValue stored;
    if (store_->QueryValue(Root(), sectionKey_, valueKey_, &stored) != reg::kSuccess) {
      return default_;
    }
    valueType_ = static_cast<std::int32_t>(stored.type);
    return ReadStored(stored);
  } catch (const std::exception&) {
    return default_;  // a read never fails
  }
}

QVariant cRegistry::ReadStored(const platform::RegistryValue& stored) const {
  const QByteArray& data = stored.data;
  switch (stored.type) {
    case reg::kSz:
    case reg::kExpandSz:
    case reg::kMultiSz: {
      if (data.isEmpty()) {
        return default_;
      }
      const QString text = platform::FromAnsi(TextBytes(data));
      if (stored.type == reg::kExpandSz && expandStrings_) {
        return platform::ExpandEnvironmentStrings(text);
      }
      return text;
    }
    case reg::kDword:
    case reg::kDwordBigEndian: {
      // Anything but exactly four bytes is not a number we can trust.
      if (data.size() != 4) {
        return default_;
      }
      std::uint32_t bits = 0;
      std::memcpy(&bits, data.constData(), sizeof bits);
      if (stored.type == reg::kDwordBigEndian) {
        bits = qbswap(bits);
      }
      return QVariant(static_cast<int>(static_cast<std::int32_t>(bits)));
    }
    default:
      return QVariant(data);
  }
}

void cRegistry::SetValue(const QVariant& vValue) {
  const std::int32_t opened = store_->CreateKey(Root(), sectionKey_);
  if (opened != reg::kSuccess) {
    RaiseKeyError(vValue, opened);
  }
  StoreByType(vValue);
}

void cRegistry::StoreByType(const QVariant& vValue) {
  std::int32_t result = reg::kInvalidData;
  switch (valueType_) {
    case static_cast<std::int32_t>(reg::kSz):
    case static_cast<std::int32_t>(reg::kExpandSz): {
      if (const std::optional<QString> text = StoredText(vValue)) {
        const std::uint32_t type = LooksExpandable(*text) ? reg::kExpandSz : reg::kSz;
        const std::optional<QByteArray> data = TextData(*text);
        result = data ? store_->SetValue(Root(), sectionKey_, valueKey_, type, *data)
                      : reg::kNoUnicodeTranslation;
      }
      break;
    }
    case static_cast<std::int32_t>(reg::kBinary):
      if (vValue.typeId() != QMetaType::QByteArray) {
        throw Error(kRegistryError, QString(), QString());
      }
      result = store_->SetValue(Root(), sectionKey_, valueKey_, reg::kBinary, vValue.toByteArray());
      break;
    case static_cast<std::int32_t>(reg::kDword):
    case static_cast<std::int32_t>(reg::kDwordBigEndian):
      // A value that is no 16-bit or 32-bit number is reported, not dropped
      // in silence: the caller must not believe it was stored.
      if (const std::optional<std::int32_t> number = WholeNumber(vValue)) {
        QByteArray data(sizeof(std::int32_t), '\0');
        std::memcpy(data.data(), &*number, sizeof(std::int32_t));
        result = store_->SetValue(Root(), sectionKey_, valueKey_, reg::kDword, data);
      }
      break;
    default:
      break;  // an unknown type stores nothing
  }
  if (result != reg::kSuccess) {
    throw Error(kRegistryWriteError, msg::ErrorSource(),
                msg::SetValueFailed(classKey_, sectionKey_, valueKey_, msg::DescribeValue(vValue)));
  }
}

void cRegistry::RaiseKeyError(const QVariant& vValue, std::int32_t result) const {
  if (Root() == reg::kCurrentUser) {
    throw Error(kRegistryError, msg::ErrorSource(),
                msg::CurrentUserKeyNotWritable(sectionKey_, valueKey_));
  }
  throw Error(kRegistryError, msg::ErrorSource(),
              msg::SetValueFailedWithCode(classKey_, sectionKey_, valueKey_,
                                          msg::DescribeValue(vValue), result));
}

bool cRegistry::KeyExists() const { return store_->OpenKey(Root(), sectionKey_) == reg::kSuccess; }

bool cRegistry::CreateKey() {
  if (store_->CreateKey(Root(), sectionKey_) != reg::kSuccess) {
    throw Error(kRegistryError, msg::ErrorSource(), msg::CreateKeyFailed(sectionKey_));
  }
  return true;
}

bool cRegistry::DeleteKey() { return store_->DeleteKey(Root(), sectionKey_) == reg::kSuccess; }

bool cRegistry::DeleteValue() {
  if (store_->OpenKey(Root(), sectionKey_) != reg::kSuccess) {
    throw Error(kRegistryError, msg::ErrorSource(),
                msg::OpenForDeleteFailed(classKey_, sectionKey_));
  }
  if (store_->DeleteValue(Root(), sectionKey_, valueKey_) != reg::kSuccess) {
    throw Error(kRegistryError, msg::ErrorSource(),
                msg::DeleteValueFailed(classKey_, sectionKey_, valueKey_));
  }
  return true;
}

bool cRegistry::EnumerateValues(QStringList& sKeyNames, int& iKeyCount) {
  iKeyCount = 0;
  sKeyNames.clear();
  // A listing that fails part-way stops at the index that failed: the names
  // before it count.
  QStringList names;
  store_->EnumValueNames(Root(), sectionKey_, &names);
  for (const QString& name : names) {
    sKeyNames.append(name);
    ++iKeyCount;
  }
  return true;
}

bool cRegistry::EnumerateSections(QStringList& sSect, int& iSectCount) {
  iSectCount = 0;
  sSect.clear();
  try {
    if (store_->OpenKey(Root(), sectionKey_) != reg::kSuccess) {
      return true;
    }
    // As for values: a listing that fails part-way keeps the names before it.
    QStringList names;
    store_->EnumSubkeyNames(Root(), sectionKey_, &names);
    for (const QString& name : names) {
      if (platform::ToAnsi(name).size() >= kSubkeyNameBuffer) {
        break;  // does not fit the buffer: the listing ends here
      }
      const qsizetype zero = name.indexOf(QChar(u'\0'));
      sSect.append(zero >= 0 ? name.left(zero) : name);
      ++iSectCount;
    }
  } catch (const Error& failure) {
    throw Error(kRegistryEnumerateError, msg::ErrorSource(), failure.description());
  } catch (const std::exception& failure) {
    throw Error(kRegistryEnumerateError, msg::ErrorSource(),
                QString::fromLocal8Bit(failure.what()));
  }
  return true;
}

}  // namespace qm
