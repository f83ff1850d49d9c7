#include "support/registry_messages.h"

#include <QByteArray>

#include "platform/environment.h"

namespace qm::registry_messages {

QString ErrorSource() { return platform::ProgramBaseName() + QStringLiteral(".cRegistry"); }

QString DescribeValue(const QVariant& value) {
  if (!value.isValid() || value.isNull()) {
    return QString();
  }
  switch (value.typeId()) {
    case QMetaType::QByteArray:
      return QStringLiteral("(%1 bytes)").arg(value.toByteArray().size());
    case QMetaType::Bool:
      return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
      return value.toString();
  }
}

QString SetValueFailed(std::int32_t classKey, const QString& sectionKey, const QString& valueKey,
                       const QString& valueText) {
  return QStringLiteral("Failed to set registry value Key: '") + QString::number(classKey) +
         QStringLiteral("',Section: '") + sectionKey + QStringLiteral("',Key: '") + valueKey +
         QStringLiteral("' to value: '") + valueText + QStringLiteral("'");
}

QString SetValueFailedWithCode(std::int32_t classKey, const QString& sectionKey,
                               const QString& valueKey, const QString& valueText,
                               std::int32_t resultCode) {
  return SetValueFailed(classKey, sectionKey, valueKey, valueText) + QStringLiteral("\r\n") +
         QStringLiteral("ErrorCode: ") + QString::number(resultCode);
}

QString CurrentUserKeyNotWritable(const QString& sectionKey, const QString& valueKey) {
  // Carriage returns alone, not CR LF: the text is shown as it always was.
  return QStringLiteral(
             "Folgender Wert konnte nicht in die Registry eingetragen werden, weil "
             "kein Zugriff gestattet wurde:") +
         QStringLiteral("\r") + QStringLiteral("HK_CURRENT_USER\\") + sectionKey +
         QStringLiteral("\\") + valueKey + QStringLiteral("\r\r") +
         QStringLiteral(
             "Bitte führen Sie den Registrierungs-Editor (regedt32.exe) aus, und "
             "stellen Sie dort sicher, dass Sie volle Zugriffsrechte auf den "
             "Schlüssel HKEY_CURRENT_USER\\Software besitzen. (Im "
             "Registrierungs-Editor können Sie im Menü ") +
         QStringLiteral("\"Bearbeiten\"") + QStringLiteral(" unter ") +
         QStringLiteral("\"Berechtigungen\"") +
         QStringLiteral(" die Zugriffsrechte für einen Registry-Schlüssel ändern.)");
}

QString CreateKeyFailed(const QString& sectionKey) {
  return QStringLiteral("Failed to create registry Key: '") + sectionKey;
}

QString OpenForDeleteFailed(std::int32_t classKey, const QString& sectionKey) {
  return QStringLiteral("Failed to open key '") + QString::number(classKey) +
         QStringLiteral("',Section: '") + sectionKey + QStringLiteral("' for delete access");
}

QString DeleteValueFailed(std::int32_t classKey, const QString& sectionKey,
                          const QString& valueKey) {
  return QStringLiteral("Failed to delete registry Key: '") + QString::number(classKey) +
         QStringLiteral("',Section: '") + sectionKey + QStringLiteral("',Key: '") + valueKey;
}

}  // namespace qm::registry_messages
