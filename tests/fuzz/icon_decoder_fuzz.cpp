// libFuzzer target for the decoder of icon and bitmap images: any bytes
// must end in a qm::Error or in an image no larger than the limits.
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/error.h"
#include "platform/icon_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    const QImage icon = qm::platform::DecodeIconImage(bytes);
    if (icon.width() > qm::platform::kMaxIconSide || icon.height() > qm::platform::kMaxIconSide) {
      std::abort();
    }
  } catch (const qm::Error&) {
  }
  try {
    const QImage bitmap = qm::platform::DecodeBitmap(bytes);
    if (bitmap.width() > qm::platform::kMaxBitmapSide ||
        bitmap.height() > qm::platform::kMaxBitmapSide) {
      std::abort();
    }
  } catch (const qm::Error&) {
  }
  try {
    qm::platform::DecodeIconFile(bytes);
  } catch (const qm::Error&) {
  }
  return 0;
}
