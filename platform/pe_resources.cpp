#include "platform/pe_resources.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/error.h"
#include "platform/le_bytes.h"
#include "platform/text_fold.h"

namespace qm::platform {
namespace {

const QString kLoadSource = QStringLiteral("LoadLibraryEx");
const QString kFindSource = QStringLiteral("FindResource");

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint64_t kDirectoryHeaderSize = 16;
constexpr std::uint64_t kDirectoryEntrySize = 8;
constexpr std::uint64_t kDataEntrySize = 16;
constexpr std::uint64_t kSectionHeaderSize = 40;
// The Windows loader refuses more; a real resource library has one or two.
constexpr std::uint32_t kMaxSections = 96;
constexpr std::uint32_t kResourceDirectoryIndex = 2;

[[noreturn]] void BadFormat(const QString& description) {
  throw Error(kErrorBadExeFormat, kLoadSource, description);
}

LittleEndianView FileView(const QByteArray& bytes) {
  return LittleEndianView(QByteArrayView(bytes), kErrorBadExeFormat, kLoadSource);
}

}  // namespace

ResourceKey ResourceKeyFromText(const QString& text) {
  if (text.startsWith(u'#') && text.size() > 1) {
    bool ok = false;
    const uint number = text.mid(1).toUInt(&ok, 10);
    if (ok && number <= 0xFFFFu) {
      return static_cast<std::uint16_t>(number);
    }
  }
  return text;
}

QList<IconGroupEntry> ParseIconGroup(const QByteArray& data) {
  const LittleEndianView group(QByteArrayView(data), kErrorInvalidData,
                               QStringLiteral("LoadImage"));
  group.Check(group.Contains(0, 6) && group.U16(0) == 0 && group.U16(2) == 1,
              QStringLiteral("The icon group does not begin with an icon directory."));
  const std::uint64_t count = group.U16(4);
  group.Check(count > 0, QStringLiteral("The icon group holds no images."));
  group.Check(group.Contains(6, count * 14),
              QStringLiteral("The %1 entries of the icon group run past its end.").arg(count));
  QList<IconGroupEntry> entries;
  entries.reserve(static_cast<qsizetype>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t at = 6 + i * 14;
    IconGroupEntry entry;
    entry.width = group.U8(at) == 0 ? 256 : group.U8(at);
    entry.height = group.U8(at + 1) == 0 ? 256 : group.U8(at + 1);
    entry.colorCount = group.U8(at + 2);
    entry.planes = group.U16(at + 4);
    entry.bitCount = group.U16(at + 6);
    entry.bytesInResource = group.U32(at + 8);
    entry.iconId = group.U16(at + 12);
    entries.append(entry);
  }
  return entries;
}

int BestIconGroupEntry(const QList<IconGroupEntry>& entries, int width, int height) {
  int best = -1;
  long bestDistance = 0;
  bool bestIsSmaller = false;
  int bestDepth = 0;
  for (int i = 0; i < entries.size(); ++i) {
    const IconGroupEntry& entry = entries.at(i);
    const long distance =
        std::labs(long{entry.width} - width) + std::labs(long{entry.height} - height);
    const bool smaller = entry.width < width || entry.height < height;
    // Old groups leave the bit count at 0 and give the palette size instead.
    int depth = entry.bitCount;
    if (depth == 0) {
      for (int colors = entry.colorCount; colors > 1; colors >>= 1) {
        ++depth;
      }
    }
    const bool better = best < 0 || distance < bestDistance ||
                        (distance == bestDistance && (bestIsSmaller && !smaller)) ||
                        (distance == bestDistance && bestIsSmaller == smaller && depth > bestDepth);
    if (better) {
      best = i;
      bestDistance = distance;
      bestIsSmaller = smaller;
      bestDepth = depth;
    }
  }
  return best;
}

PeResourceModule::PeResourceModule(QByteArray bytes) : bytes_(std::move(bytes)) {}

PeResourceModule PeResourceModule::FromBytes(QByteArray bytes) {
  if (bytes.size() > kMaxModuleFileSize) {
    BadFormat(QStringLiteral("The module is larger than %1 bytes.").arg(kMaxModuleFileSize));
  }
  PeResourceModule module(std::move(bytes));
  module.ParseHeaders();
  return module;
}

PeResourceModule PeResourceModule::FromFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() || !info.isFile()) {
    throw Error(kErrorFileNotFound, kLoadSource,
                QStringLiteral("The module \"%1\" was not found.").arg(path));
  }
  if (info.size() > kMaxModuleFileSize) {
    BadFormat(QStringLiteral("The module \"%1\" is larger than %2 bytes.")
                  .arg(path)
                  .arg(kMaxModuleFileSize));
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw Error(
        kErrorFileNotFound, kLoadSource,
        QStringLiteral("The module \"%1\" cannot be read: %2").arg(path, file.errorString()));
  }
  // Read at most one byte past the limit, so that a file that grew after the
  // size test is still refused without reading all of it.
  QByteArray bytes = file.read(kMaxModuleFileSize + 1);
  return FromBytes(std::move(bytes));
}

void PeResourceModule::ParseHeaders() {
  const LittleEndianView file = FileView(bytes_);
  if (!file.Contains(0, 64) || file.U16(0) != 0x5A4Du) {
    BadFormat(QStringLiteral("The file does not begin with an MZ header."));
  }
  const std::uint64_t pe = file.U32(0x3C);
  if (!file.Contains(pe, 24) || file.U32(pe) != 0x00004550u) {
    BadFormat(QStringLiteral("The PE header is missing or lies outside the file."));
  }
  const std::uint32_t sectionCount = file.U16(pe + 6);
  const std::uint64_t optionalSize = file.U16(pe + 20);
  const std::uint64_t optional = pe + 24;
  if (!file.Contains(optional, optionalSize) || optionalSize < 2) {
    BadFormat(QStringLiteral("The optional header runs past the end of the file."));
  }
  std::uint64_t directoryCountAt = 0;
  switch (file.U16(optional)) {
    case 0x10B:  // PE32
      directoryCountAt = 92;
      break;
    case 0x20B:  // PE32+
      directoryCountAt = 108;
      break;
    default:
      BadFormat(QStringLiteral("The optional header is neither PE32 nor PE32+."));
  }
  std::uint32_t resourceRva = 0;
  const std::uint64_t resourceEntryAt = directoryCountAt + 4 + 8 * kResourceDirectoryIndex;
  if (optionalSize >= resourceEntryAt + 8 &&
      file.U32(optional + directoryCountAt) > kResourceDirectoryIndex) {
    resourceRva = file.U32(optional + resourceEntryAt);
  }

  if (sectionCount > kMaxSections) {
    BadFormat(QStringLiteral("The module claims %1 sections; at most %2 are allowed.")
                  .arg(sectionCount)
                  .arg(kMaxSections));
  }
  const std::uint64_t table = optional + optionalSize;
  if (!file.Contains(table, sectionCount * kSectionHeaderSize)) {
    BadFormat(QStringLiteral("The section table runs past the end of the file."));
  }
  for (std::uint32_t i = 0; i < sectionCount; ++i) {
    const std::uint64_t at = table + i * kSectionHeaderSize;
    sections_.append(
        Section{file.U32(at + 12), file.U32(at + 8), file.U32(at + 20), file.U32(at + 16)});
  }

  if (resourceRva == 0) {
    return;
  }
  // The tree may use everything from its root to the end of the section that
  // holds the root, as far as the file really has it.
  for (const Section& section : sections_) {
    const std::uint64_t start = section.virtualAddress;
    if (resourceRva < start || resourceRva - start >= section.rawSize) {
      continue;
    }
    const std::uint64_t rootOffset = std::uint64_t{section.rawPointer} + (resourceRva - start);
    const std::uint64_t sectionEnd = std::uint64_t{section.rawPointer} + section.rawSize;
    const std::uint64_t end = std::min<std::uint64_t>(sectionEnd, file.size());
    if (rootOffset + kDirectoryHeaderSize > end) {
      BadFormat(QStringLiteral("The resource directory lies outside the file."));
    }
    resourceOffset_ = rootOffset;
    resourceSize_ = end - rootOffset;
    return;
  }
  BadFormat(QStringLiteral("The resource directory lies outside every section."));
}

std::optional<PeResourceModule::Located> PeResourceModule::LocateRva(std::uint64_t rva,
                                                                     std::uint64_t length) const {
  for (const Section& section : sections_) {
    const std::uint64_t start = section.virtualAddress;
    if (rva < start || rva - start >= section.rawSize) {
      continue;
    }
    const std::uint64_t within = rva - start;
    if (length > section.rawSize - within) {
      return std::nullopt;
    }
    const std::uint64_t offset = std::uint64_t{section.rawPointer} + within;
    if (!FileView(bytes_).Contains(offset, length)) {
      return std::nullopt;
    }
    return Located{offset, length};
  }
  return std::nullopt;
}

LittleEndianView PeResourceModule::Tree() const {
  // Offsets inside the tree count from its root.
  return LittleEndianView(QByteArrayView(bytes_).sliced(static_cast<qsizetype>(resourceOffset_),
                                                        static_cast<qsizetype>(resourceSize_)),
                          kErrorInvalidData, kFindSource);
}

QList<PeResourceModule::DirectoryEntry> PeResourceModule::ReadDirectory(
    std::uint32_t offset) const {
  const LittleEndianView tree = Tree();
  tree.Check(tree.Contains(offset, kDirectoryHeaderSize), [&] {
    return QStringLiteral("A resource directory at offset %1 lies outside the resource section.")
        .arg(offset);
  });
  const std::uint64_t count = std::uint64_t{tree.U16(offset + 12)} + tree.U16(offset + 14);
  const std::uint64_t first = offset + kDirectoryHeaderSize;
  tree.Check(tree.Contains(first, count * kDirectoryEntrySize), [&] {
    return QStringLiteral(
               "The %1 entries of the resource directory at offset %2 run past the resource "
               "section.")
        .arg(count)
        .arg(offset);
  });
  QList<DirectoryEntry> entries;
  entries.reserve(static_cast<qsizetype>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t at = first + i * kDirectoryEntrySize;
    entries.append(DirectoryEntry{tree.U32(at), tree.U32(at + 4)});
  }
  return entries;
}

std::uint64_t PeResourceModule::NameLength(std::uint32_t nameField) const {
  const LittleEndianView tree = Tree();
  const std::uint64_t at = nameField & ~kHighBit;
  const bool inside =
      tree.Contains(at, 2) && tree.Contains(at + 2, std::uint64_t{tree.U16(at)} * 2);
  tree.Check(inside, [&] {
    return QStringLiteral("A resource name at offset %1 runs past the resource section.").arg(at);
  });
  return tree.U16(at);
}

QString PeResourceModule::ReadName(std::uint32_t nameField) const {
  const LittleEndianView tree = Tree();
  const std::uint64_t at = nameField & ~kHighBit;
  const std::uint64_t length = NameLength(nameField);
  QString name(static_cast<qsizetype>(length), Qt::Uninitialized);
  for (std::uint64_t i = 0; i < length; ++i) {
    name[static_cast<qsizetype>(i)] = QChar(tree.U16(at + 2 + 2 * i));
  }
  return name;
}

bool PeResourceModule::Matches(const DirectoryEntry& entry, const ResourceKey& key) const {
  const bool named = (entry.nameField & kHighBit) != 0;
  if (const auto* number = std::get_if<std::uint16_t>(&key)) {
    return !named && entry.nameField == *number;
  }
  if (!named) {
    return false;
  }
  // Names compare unit by unit, so a name of another length cannot match;
  // its length tells that without reading a long name.
  const QString& text = std::get<QString>(key);
  return NameLength(entry.nameField) == static_cast<std::uint64_t>(text.size()) &&
         EqualsIgnoringCase(ReadName(entry.nameField), text);
}

std::optional<std::uint32_t> PeResourceModule::FindSubdirectory(std::uint32_t directory,
                                                                const ResourceKey& key) const {
  for (const DirectoryEntry& entry : ReadDirectory(directory)) {
    if (!Matches(entry, key)) {
      continue;
    }
    if ((entry.dataField & kHighBit) == 0) {
      throw Error(
          kErrorInvalidData, kFindSource,
          QStringLiteral(
              "A resource directory entry at offset %1 leads to data where a directory belongs.")
              .arg(directory));
    }
    return entry.dataField & ~kHighBit;
  }
  return std::nullopt;
}

QByteArray PeResourceModule::ReadDataEntry(std::uint32_t offset) const {
  const LittleEndianView tree = Tree();
  tree.Check(tree.Contains(offset, kDataEntrySize), [&] {
    return QStringLiteral("A resource data entry at offset %1 lies outside the resource section.")
        .arg(offset);
  });
  const std::uint32_t rva = tree.U32(offset);
  const std::uint32_t size = tree.U32(offset + 4);
  const std::optional<Located> data = LocateRva(rva, size);
  tree.Check(data.has_value(), [&] {
    return QStringLiteral("The %1 bytes of resource data at address %2 lie outside the file.")
        .arg(size)
        .arg(rva);
  });
  return bytes_.mid(static_cast<qsizetype>(data->offset), static_cast<qsizetype>(data->size));
}

std::optional<QByteArray> PeResourceModule::FindResource(const ResourceKey& type,
                                                         const ResourceKey& name) const {
  if (!hasResources()) {
    return std::nullopt;
  }
  const std::optional<std::uint32_t> names = FindSubdirectory(0, type);
  if (!names) {
    return std::nullopt;
  }
  const std::optional<std::uint32_t> languages = FindSubdirectory(*names, name);
  if (!languages) {
    return std::nullopt;
  }
  // The first language serves; the program's resources exist in one.
  for (const DirectoryEntry& entry : ReadDirectory(*languages)) {
    if ((entry.dataField & kHighBit) != 0) {
      throw Error(kErrorInvalidData, kFindSource,
                  QStringLiteral("The language directory at offset %1 nests another directory.")
                      .arg(*languages));
    }
    return ReadDataEntry(entry.dataField);
  }
  return std::nullopt;
}

QList<ResourceKey> PeResourceModule::ResourceNames(const ResourceKey& type) const {
  QList<ResourceKey> keys;
  if (!hasResources()) {
    return keys;
  }
  const std::optional<std::uint32_t> names = FindSubdirectory(0, type);
  if (!names) {
    return keys;
  }
  for (const DirectoryEntry& entry : ReadDirectory(*names)) {
    if ((entry.nameField & kHighBit) != 0) {
      keys.append(ReadName(entry.nameField));
    } else {
      keys.append(static_cast<std::uint16_t>(entry.nameField & 0xFFFFu));
    }
  }
  return keys;
}

std::optional<QByteArray> PeResourceModule::LoadIcon(const ResourceKey& groupName, int width,
                                                     int height) const {
  const std::optional<QByteArray> group = FindResource(kResourceTypeGroupIcon, groupName);
  if (!group) {
    return std::nullopt;
  }
  const QList<IconGroupEntry> entries = ParseIconGroup(*group);
  const IconGroupEntry& best = entries.at(BestIconGroupEntry(entries, width, height));
  std::optional<QByteArray> image = FindResource(kResourceTypeIcon, best.iconId);
  if (!image) {
    throw Error(kErrorInvalidData, kFindSource,
                QStringLiteral("The icon group names image %1, which the module does not hold.")
                    .arg(best.iconId));
  }
  return image;
}

ResourceLibrary ResourceLibrary::Load(const QString& path) {
  ResourceLibrary library;
  library.module_ = std::make_unique<const PeResourceModule>(PeResourceModule::FromFile(path));
  return library;
}

}  // namespace qm::platform
