// The texts of cRegistry's errors. They are read by users and matched by
// callers, so they are built here, in one place, piece by piece.
#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>

namespace qm::registry_messages {

// "<program>.cRegistry": the source of every error of the class but one.
QString ErrorSource();

// The textual form of a value in a description: the usual text of numbers
// and texts, empty for an empty value, and a short note for a byte array,
// which has no textual form worth showing.
QString DescribeValue(const QVariant& value);

// "Failed to set registry value Key: '<root>',Section: '...',Key: '...' to
// value: '...'" with the root as a signed decimal number.
QString SetValueFailed(std::int32_t classKey, const QString& sectionKey, const QString& valueKey,
                       const QString& valueText);

// The same, followed by CR LF and "ErrorCode: <code>".
QString SetValueFailedWithCode(std::int32_t classKey, const QString& sectionKey,
                               const QString& valueKey, const QString& valueText,
                               std::int32_t resultCode);

// The German explanation for a key below HKEY_CURRENT_USER that may not be
// written, addressed to the user.
QString CurrentUserKeyNotWritable(const QString& sectionKey, const QString& valueKey);

QString CreateKeyFailed(const QString& sectionKey);
QString OpenForDeleteFailed(std::int32_t classKey, const QString& sectionKey);
QString DeleteValueFailed(std::int32_t classKey, const QString& sectionKey,
                          const QString& valueKey);

}  // namespace qm::registry_messages
