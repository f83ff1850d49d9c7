#include "window/review_size.h"

#include "support/c_registry.h"

namespace qm {
namespace {

// Qt's own limit for a widget's size.
constexpr int kLargest = 32767;

cRegistry SizeValue(const QString& settingsKey, const char* name, platform::RegistryStore& store) {
  cRegistry registry(store);
  registry.SetClassKey(static_cast<std::int32_t>(platform::reg::kCurrentUser));
  registry.SetSectionKey(settingsKey);
  registry.SetValueType(static_cast<std::int32_t>(platform::reg::kDword));
  registry.SetValueKey(QLatin1String(name));
  return registry;
}

int StoredLength(const QString& settingsKey, const char* name, platform::RegistryStore& store) {
  const QVariant value = SizeValue(settingsKey, name, store).Value();
  if (value.typeId() != QMetaType::Int) {
    return 0;
  }
  const int length = value.toInt();
  return length >= 1 && length <= kLargest ? length : 0;
}

}  // namespace

QSize LoadWindowSize(const QString& settingsKey, const WindowSizeValues& values,
                     platform::RegistryStore& store) {
  const int width = StoredLength(settingsKey, values.width, store);
  const int height = StoredLength(settingsKey, values.height, store);
  return width > 0 && height > 0 ? QSize(width, height) : QSize();
}

void SaveWindowSize(const QString& settingsKey, const WindowSizeValues& values, const QSize& size,
                    platform::RegistryStore& store) {
  SizeValue(settingsKey, values.width, store).SetValue(size.width());
  SizeValue(settingsKey, values.height, store).SetValue(size.height());
}

}  // namespace qm
