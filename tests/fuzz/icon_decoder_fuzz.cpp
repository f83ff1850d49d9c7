// libFuzzer target for the decoder of icon and bitmap images: any bytes
// must end in a qm::Error or in an image no larger than the limits.
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/error.h"
#include "startup/icon_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    const QImage icon = qm::startup::DecodeIconImage(bytes);
    if (icon.width() > qm::startup::kMaxIconSide || icon.height() > qm::startup::kMaxIconSide) {
      std::abort();
    }
  } catch (const qm::Error&) {
  }
  try {
    const QImage bitmap = qm::startup::DecodeBitmap(bytes);
    if (bitmap.width() > qm::startup::kMaxBitmapSide || bitmap.height() > qm::startup::kMaxBitmapSide) {
      std::abort();
    }
  } catch (const qm::Error&) {
  }
  try {
    qm::startup::DecodeIconFile(bytes);
  } catch (const qm::Error&) {
  }
  return 0;
}
