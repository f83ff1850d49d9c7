#include "host/admin/resource_module_builder.h"

#include <algorithm>
#include <map>

#include "platform/error.h"
#include "platform/le_bytes.h"

namespace qm::host {
namespace {

using platform::AppendU16;
using platform::AppendU32;
using platform::ResourceKey;

constexpr std::int32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kHeadersSize =
    0x200;  // DOS, PE, optional header and one section header fit
constexpr std::uint32_t kHighBit = 0x80000000u;

// Named entries first, in ordinal order of their UTF-16 units, then numbers.
struct KeyLess {
  bool operator()(const ResourceKey& a, const ResourceKey& b) const {
    const bool aNamed = std::holds_alternative<QString>(a);
    const bool bNamed = std::holds_alternative<QString>(b);
    if (aNamed != bNamed) {
      return aNamed;
    }
    if (aNamed) {
      return std::get<QString>(a) < std::get<QString>(b);
    }
    return std::get<std::uint16_t>(a) < std::get<std::uint16_t>(b);
  }
};

using LanguageMap = std::map<std::uint16_t, QByteArray>;
using NameMap = std::map<ResourceKey, LanguageMap, KeyLess>;
using TypeMap = std::map<ResourceKey, NameMap, KeyLess>;

std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

void PadTo(QByteArray& out, std::uint32_t size) {
  if (static_cast<std::uint32_t>(out.size()) < size) {
    out.append(static_cast<qsizetype>(size - static_cast<std::uint32_t>(out.size())), '\0');
  }
}

std::uint32_t DirectorySize(std::size_t entries) {
  return 16 + 8 * static_cast<std::uint32_t>(entries);
}

void AppendDirectoryHeader(QByteArray& out, std::uint32_t named, std::uint32_t numbered) {
  AppendU32(out, 0);  // characteristics
  AppendU32(out, 0);  // time stamp: none, so that the same input gives the same bytes
  AppendU16(out, 0);
  AppendU16(out, 0);
  AppendU16(out, named);
  AppendU16(out, numbered);
}

template <typename Map>
void AppendDirectory(QByteArray& out, const Map& map, std::uint32_t firstChild,
                     bool childrenAreDirectories, QList<QString>& strings,
                     std::uint32_t& stringOffset, const auto& childSize) {
  std::uint32_t named = 0;
  for (const auto& [key, child] : map) {
    named += std::holds_alternative<QString>(ResourceKey(key)) ? 1 : 0;
  }
  AppendDirectoryHeader(out, named, static_cast<std::uint32_t>(map.size()) - named);
  std::uint32_t child = firstChild;
  for (const auto& [key, value] : map) {
    const ResourceKey resourceKey(key);
    if (const auto* text = std::get_if<QString>(&resourceKey)) {
      AppendU32(out, kHighBit | stringOffset);
      stringOffset += 2 + 2 * static_cast<std::uint32_t>(text->size());
      strings.append(*text);
    } else {
      AppendU32(out, std::get<std::uint16_t>(resourceKey));
    }
    AppendU32(out, childrenAreDirectories ? (kHighBit | child) : child);
    child += childSize(value);
  }
}

// The ".rsrc" section's bytes for a section placed at kSectionRva.
QByteArray BuildResourceSection(const TypeMap& types) {
  std::uint32_t directories = DirectorySize(types.size());
  std::uint32_t leaves = 0;
  std::uint32_t stringsSize = 0;
  for (const auto& [type, names] : types) {
    directories += DirectorySize(names.size());
    for (const auto& [name, languages] : names) {
      directories += DirectorySize(languages.size());
      leaves += static_cast<std::uint32_t>(languages.size());
      if (const auto* text = std::get_if<QString>(&name)) {
        stringsSize += 2 + 2 * static_cast<std::uint32_t>(text->size());
      }
    }
    if (const auto* text = std::get_if<QString>(&type)) {
      stringsSize += 2 + 2 * static_cast<std::uint32_t>(text->size());
    }
  }
  const std::uint32_t dataEntries = directories;
  const std::uint32_t stringsAt = dataEntries + 16 * leaves;
  const std::uint32_t blobsAt = AlignUp(stringsAt + stringsSize, 8);

  QByteArray out;
  QList<QString> strings;
  std::uint32_t stringOffset = stringsAt;
  // Level 1, then every name directory, then every language directory.
  const std::uint32_t nameDirectoriesAt = DirectorySize(types.size());
  AppendDirectory(out, types, nameDirectoriesAt, true, strings, stringOffset,
                  [](const NameMap& names) { return DirectorySize(names.size()); });
  std::uint32_t languageDirectory = nameDirectoriesAt;
  for (const auto& [type, names] : types) {
    languageDirectory += DirectorySize(names.size());
  }
  for (const auto& [type, names] : types) {
    AppendDirectory(out, names, languageDirectory, true, strings, stringOffset,
                    [](const LanguageMap& languages) { return DirectorySize(languages.size()); });
    for (const auto& [name, languages] : names) {
      languageDirectory += DirectorySize(languages.size());
    }
  }
  std::uint32_t dataEntry = dataEntries;
  for (const auto& [type, names] : types) {
    for (const auto& [name, languages] : names) {
      AppendDirectory(out, languages, dataEntry, false, strings, stringOffset,
                      [](const QByteArray&) { return std::uint32_t{16}; });
      dataEntry += 16 * static_cast<std::uint32_t>(languages.size());
    }
  }
  std::uint32_t blob = blobsAt;
  for (const auto& [type, names] : types) {
    for (const auto& [name, languages] : names) {
      for (const auto& [language, data] : languages) {
        AppendU32(out, kSectionRva + blob);
        AppendU32(out, static_cast<std::uint32_t>(data.size()));
        AppendU32(out, 0);  // code page
        AppendU32(out, 0);
        blob = AlignUp(blob + static_cast<std::uint32_t>(data.size()), 8);
      }
    }
  }
  for (const QString& text : strings) {
    AppendU16(out, static_cast<std::uint32_t>(text.size()));
    for (const QChar unit : text) {
      AppendU16(out, unit.unicode());
    }
  }
  for (const auto& [type, names] : types) {
    for (const auto& [name, languages] : names) {
      for (const auto& [language, data] : languages) {
        PadTo(out, AlignUp(static_cast<std::uint32_t>(out.size()), 8));
        out.append(data);
      }
    }
  }
  return out;
}

QByteArray BuildHeaders(std::uint32_t sectionSize) {
  const std::uint32_t rawSize = AlignUp(sectionSize, kFileAlignment);
  QByteArray out;
  AppendU16(out, 0x5A4D);  // "MZ"
  PadTo(out, 0x3C);
  AppendU32(out, 0x40);        // where the PE header starts
  AppendU32(out, 0x00004550);  // "PE\0\0"
  AppendU16(out, 0x014C);      // i386
  AppendU16(out, 1);           // one section
  AppendU32(out, 0);           // time stamp
  AppendU32(out, 0);           // symbol table
  AppendU32(out, 0);
  AppendU16(out, 0xE0);     // size of the PE32 optional header
  AppendU16(out, 0x2102);   // executable image, 32-bit machine, DLL
  AppendU16(out, 0x010B);   // PE32
  AppendU16(out, 0);        // linker version
  AppendU32(out, 0);        // size of code
  AppendU32(out, rawSize);  // size of initialized data
  AppendU32(out, 0);
  AppendU32(out, 0);            // no entry point: resources only
  AppendU32(out, kSectionRva);  // base of code
  AppendU32(out, kSectionRva);  // base of data
  AppendU32(out, 0x10000000);   // image base
  AppendU32(out, kSectionAlignment);
  AppendU32(out, kFileAlignment);
  for (const std::uint32_t version : {5u, 1u, 0u, 0u, 5u, 1u}) {  // OS, image, subsystem versions
    AppendU16(out, version);
  }
  AppendU32(out, 0);  // Win32 version value
  AppendU32(out, kSectionRva + AlignUp(std::max<std::uint32_t>(sectionSize, 1), kSectionAlignment));
  AppendU32(out, kHeadersSize);
  AppendU32(out, 0);       // checksum, not required for a DLL
  AppendU16(out, 2);       // GUI subsystem
  AppendU16(out, 0x0500);  // NX compatible, no SEH
  for (const std::uint32_t size : {0x100000u, 0x1000u, 0x100000u, 0x1000u}) {
    AppendU32(out, size);  // stack and heap reserve and commit
  }
  AppendU32(out, 0);   // loader flags
  AppendU32(out, 16);  // data directories
  for (std::uint32_t i = 0; i < 16; ++i) {
    AppendU32(out, i == 2 ? kSectionRva : 0);
    AppendU32(out, i == 2 ? sectionSize : 0);
  }
  out.append(".rsrc\0\0\0", 8);
  AppendU32(out, sectionSize);
  AppendU32(out, kSectionRva);
  AppendU32(out, rawSize);
  AppendU32(out, kHeadersSize);
  AppendU32(out, 0);  // relocations
  AppendU32(out, 0);  // line numbers
  AppendU16(out, 0);
  AppendU16(out, 0);
  AppendU32(out, 0x40000040);  // initialized data, readable
  PadTo(out, kHeadersSize);
  return out;
}

}  // namespace

QByteArray BuildResourceModule(const QList<RawResource>& resources) {
  TypeMap types;
  for (const RawResource& resource : resources) {
    for (const ResourceKey* key : {&resource.type, &resource.name}) {
      if (const auto* text = std::get_if<QString>(key); text != nullptr && text->isEmpty()) {
        throw Error(kErrorInvalidParameter, QStringLiteral("BuildResourceModule"),
                    QStringLiteral("A resource type or name must not be an empty text."));
      }
    }
    const bool added =
        types[resource.type][resource.name].emplace(resource.language, resource.data).second;
    if (!added) {
      throw Error(kErrorInvalidParameter, QStringLiteral("BuildResourceModule"),
                  QStringLiteral("Two resources have the same type, name and language."));
    }
  }
  const QByteArray section = BuildResourceSection(types);
  QByteArray module = BuildHeaders(static_cast<std::uint32_t>(section.size()));
  module.append(section);
  PadTo(module, kHeadersSize + AlignUp(static_cast<std::uint32_t>(section.size()), kFileAlignment));
  return module;
}

}  // namespace qm::host
