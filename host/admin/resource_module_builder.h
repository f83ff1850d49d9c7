// Builds a resource-only Windows module: a minimal, valid PE32 file with one
// ".rsrc" section that holds the given resources. The result loads with
// LoadLibraryEx as a data file on Windows and with PeResourceModule here.
#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>

#include "platform/pe_resources.h"

namespace qm::host {

struct RawResource {
  platform::ResourceKey type;
  platform::ResourceKey name;
  std::uint16_t language = 0x0409;
  QByteArray data;
};

// Lays the resources out as the resource compiler does: one directory per
// level (type, name, language), named entries before numbered ones, each
// group sorted, names stored exactly as given. Throws qm::Error (87) for two
// resources with the same type, name and language, or for an empty name.
QByteArray BuildResourceModule(const QList<RawResource>& resources);

}  // namespace qm::host
