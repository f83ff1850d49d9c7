#include "platform/icon_module.h"

#include "platform/error.h"
#include "platform/icon_decoder.h"
#include "platform/pe_resources.h"

namespace qm::platform {

struct IconModule::Loaded {
  ResourceLibrary library;
};

IconModule::IconModule() noexcept = default;
IconModule::IconModule(std::unique_ptr<Loaded> loaded) noexcept : loaded_(std::move(loaded)) {}
IconModule::IconModule(IconModule&& other) noexcept = default;
IconModule& IconModule::operator=(IconModule&& other) noexcept = default;
IconModule::~IconModule() = default;

IconModule IconModule::Load(const QString& path) {
  return IconModule(std::make_unique<Loaded>(Loaded{ResourceLibrary::Load(path)}));
}

std::optional<QImage> IconModule::Icon(const QString& name, int side) const {
  if (!loaded_) {
    return std::nullopt;
  }
  try {
    const std::optional<QByteArray> bytes =
        loaded_->library.module().LoadIcon(ResourceKeyFromText(name), side, side);
    if (!bytes) {
      return std::nullopt;
    }
    const QImage image = DecodeIconImage(*bytes);
    // LoadImage stretches the best image to the size asked for.
    if (image.size() != QSize(side, side)) {
      return image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
          .convertToFormat(QImage::Format_ARGB32);
    }
    return image;
  } catch (const Error&) {
    // A malformed icon is no icon, as LoadImage gives no handle for it.
    return std::nullopt;
  }
}

void IconModule::Free() noexcept { loaded_.reset(); }

}  // namespace qm::platform
