#include "platform/icon_module.h"

#include <QDir>

#include <variant>

#include "platform/environment.h"
#include "platform/pe_resources.h"
#include "platform/win32/win32_handles.h"

namespace qm::platform {

struct IconModule::Loaded {
  win32::ModuleHandle module;
};

IconModule::IconModule() noexcept = default;
IconModule::IconModule(std::unique_ptr<Loaded> loaded) noexcept : loaded_(std::move(loaded)) {}
IconModule::IconModule(IconModule&& other) noexcept = default;
IconModule& IconModule::operator=(IconModule&& other) noexcept = default;
IconModule::~IconModule() = default;

IconModule IconModule::Load(const QString& path) {
  // The loader wants backslashes; with forward ones it may search elsewhere.
  // The wide form takes every folder name, also one the ANSI code page
  // cannot spell.
  const std::wstring file = QDir::toNativeSeparators(path).toStdWString();
  win32::ModuleHandle module(LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) {
    const DWORD code = GetLastError();
    win32::ThrowWin32(code, QStringLiteral("LoadLibraryEx"),
                      QStringLiteral("Cannot load \"%1\"").arg(path));
  }
  return IconModule(std::make_unique<Loaded>(Loaded{std::move(module)}));
}

std::optional<QImage> IconModule::Icon(const QString& name, int side) const {
  if (!loaded_) {
    return std::nullopt;
  }
  // A number travels in the pointer itself, as MAKEINTRESOURCE makes it.
  const ResourceKey key = ResourceKeyFromText(name);
  QByteArray text;
  LPCSTR resource = nullptr;
  if (const auto* number = std::get_if<std::uint16_t>(&key)) {
    resource = reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(*number));
  } else {
    text = ToAnsi(std::get<QString>(key));
    resource = text.constData();
  }
  const win32::IconHandle icon(
      static_cast<HICON>(LoadImageA(loaded_->module.get(), resource, IMAGE_ICON, side, side, 0)));
  if (!icon) {
    return std::nullopt;
  }
  const QImage image = QImage::fromHICON(icon.get());
  if (image.isNull()) {
    return std::nullopt;
  }
  return image.convertToFormat(QImage::Format_ARGB32);
}

void IconModule::Free() noexcept { loaded_.reset(); }

}  // namespace qm::platform
