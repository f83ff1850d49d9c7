#include "platform/whole_number.h"

#include <cmath>
#include <limits>

namespace qm {

std::optional<std::int64_t> WholeNumber(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
      return value.toLongLong();
    case QMetaType::ULongLong:
      if (value.toULongLong() <= static_cast<qulonglong>(std::numeric_limits<qint64>::max())) {
        return value.toLongLong();
      }
      return std::nullopt;
    case QMetaType::Double:
    case QMetaType::Float: {
      const double number = value.toDouble();
      // The range test excludes NaN and the infinities as well.
      if (std::trunc(number) == number && number >= -9.2233720368547758e18 &&
          number < 9.2233720368547758e18) {
        return static_cast<std::int64_t>(number);
      }
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace qm
