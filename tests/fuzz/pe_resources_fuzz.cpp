// libFuzzer target for the reader of resource-only modules: any bytes must
// end in a qm::Error or in answers that lie inside the input.
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/error.h"
#include "platform/pe_resources.h"

namespace {

void LookUpEverything(const qm::platform::PeResourceModule& module, std::size_t inputSize) {
  auto check = [inputSize](const std::optional<QByteArray>& bytes) {
    if (bytes && static_cast<std::size_t>(bytes->size()) > inputSize) {
      std::abort();  // a resource cannot be larger than the file that holds it
    }
  };
  for (const char* name : {"Folder_Blue_16_XP", "App_XP", "#1", "#14"}) {
    try {
      check(module.LoadIcon(qm::platform::ResourceKeyFromText(QString::fromLatin1(name))));
    } catch (const qm::Error&) {
    }
  }
  for (const std::uint16_t type :
       {qm::platform::kResourceTypeGroupIcon, qm::platform::kResourceTypeIcon}) {
    try {
      // The first names are enough; looking up each of thousands of
      // names would only make every run slow.
      for (const qm::platform::ResourceKey& key : module.ResourceNames(type).mid(0, 64)) {
        try {
          check(module.FindResource(type, key));
          if (type == qm::platform::kResourceTypeGroupIcon) {
            check(module.LoadIcon(key, 32, 32));
          }
        } catch (const qm::Error&) {
        }
      }
    } catch (const qm::Error&) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const auto module = qm::platform::PeResourceModule::FromBytes(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    LookUpEverything(module, size);
  } catch (const qm::Error&) {
  }
  return 0;
}
