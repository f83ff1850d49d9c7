// Feeds modResource::printf formats and values made from the fuzzer's bytes.
// Each call must give a result or one of its three errors, and agree with
// the step-by-step model of the fill rules; anything else aborts.
#include <QDate>
#include <QDateTime>
#include <QVariantList>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

#include "engine/printf_model.h"

namespace {

QString TextFrom(FuzzedDataProvider& data, std::size_t maxUnits) {
  const std::size_t units = data.ConsumeIntegralInRange<std::size_t>(0, maxUnits);
  QString text;
  for (std::size_t i = 0; i < units && data.remaining_bytes() > 0; ++i) {
    // Mostly the characters the rules care about, sometimes any UTF-16 unit.
    static const char16_t kSpecial[] = u"[]*\\=:(0#,.%19tnrw' ";
    if (data.ConsumeBool()) {
      text.append(QChar(kSpecial[data.ConsumeIntegralInRange<std::size_t>(0, 19)]));
    } else {
      text.append(QChar(data.ConsumeIntegral<char16_t>()));
    }
  }
  return text;
}

QVariant ValueFrom(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange(0, 8)) {
    case 0:
      return QVariant();
    case 1:
      return data.ConsumeIntegral<int>();
    case 2:
      return data.ConsumeIntegral<qlonglong>();
    case 3:
      return data.ConsumeIntegral<qulonglong>();
    case 4:
      return data.ConsumeFloatingPoint<double>();
    case 5:
      return QDate::fromJulianDay(data.ConsumeIntegralInRange<qint64>(-1000000, 10000000));
    case 6:
      return QDateTime::fromMSecsSinceEpoch(
          data.ConsumeIntegralInRange<qint64>(-100000000000000, 100000000000000), Qt::UTC);
    case 7:
      return data.ConsumeBool();
    default:
      return TextFrom(data, 16);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  QVariantList values;
  const int count = data.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < count; ++i) {
    values.append(ValueFrom(data));
  }
  const QString format = TextFrom(data, 256);
  const qm::testing::Outcome actual = qm::testing::PrintfOutcome(format, values);
  const qm::testing::Outcome expected = qm::testing::ModelPrintf(format, values);
  if (!(actual == expected)) {
    std::fprintf(stderr, "printf and the model disagree for format '%s': '%s' (%d) vs '%s' (%d)\n",
                 qPrintable(format), qPrintable(actual.text + actual.description), actual.error,
                 qPrintable(expected.text + expected.description), expected.error);
    std::abort();
  }
  return 0;
}
