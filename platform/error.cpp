#include "platform/error.h"

#include <utility>

namespace qm {

Error::Error(std::int32_t number, QString source, QString description)
    : number_(number), source_(std::move(source)), description_(std::move(description)) {
  what_ = (source_ + QStringLiteral(": ") + description_ + QStringLiteral(" (") +
           FormatErrorNumber(number_) + QStringLiteral(")"))
              .toStdString();
}

QString FormatErrorNumber(std::int32_t number) {
  const auto bits = static_cast<std::uint32_t>(number);
  if ((bits & 0xFFFF0000u) == 0x80040000u) {
    return QStringLiteral("0x%1")
        .arg(bits, 8, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QStringLiteral("0X"), QStringLiteral("0x"));
  }
  return QString::number(number);
}

}  // namespace qm
