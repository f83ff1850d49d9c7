// Resources of a Windows module, read as data.
//
// The host keeps its folder icons in a resource-only module ("QMRes.dll").
// Windows loads such a module with LoadLibraryEx(LOAD_LIBRARY_AS_DATAFILE)
// and finds its icons with FindResource/LoadImage; this is the same service
// for any platform: the file is read into memory, its MZ and PE headers and
// section table are checked, and resources are looked up in the resource
// directory tree (type, name, language), where names compare without regard
// to case as Windows compares them.
//
// The file is untrusted. Every offset and size read from it is checked
// against the bytes that hold it before use, the arithmetic cannot wrap, and
// the tree is only ever walked three levels deep, so a directory that points
// back at itself ends the walk instead of looping. A malformed file raises
// qm::Error with a Windows system error number and a description of the
// broken record; nothing reads outside the file.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

namespace qm::platform {

class LittleEndianView;

// Windows system error numbers raised here.
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorInvalidData = 13;
inline constexpr std::int32_t kErrorBadExeFormat = 193;

// Resource types used by icons.
inline constexpr std::uint16_t kResourceTypeIcon = 3;        // RT_ICON
inline constexpr std::uint16_t kResourceTypeGroupIcon = 14;  // RT_GROUP_ICON

// Files larger than this are refused; a library of small icons is a few
// hundred kilobytes.
inline constexpr qint64 kMaxModuleFileSize = 64 * 1024 * 1024;

// A resource type or name: a 16-bit number or a text.
using ResourceKey = std::variant<std::uint16_t, QString>;

// "#123" stands for the number 123, as in the Windows resource functions;
// any other text is a name.
ResourceKey ResourceKeyFromText(const QString& text);

// One image of an icon group (GRPICONDIRENTRY); a width or height of 0 in
// the file means 256 and is given here as 256.
struct IconGroupEntry {
  int width = 0;
  int height = 0;
  int colorCount = 0;
  int planes = 0;
  int bitCount = 0;
  std::uint32_t bytesInResource = 0;
  std::uint16_t iconId = 0;
};

// Parses the data of an RT_GROUP_ICON resource. Throws qm::Error
// (kErrorInvalidData) when it is not a well-formed icon group with at least
// one image.
QList<IconGroupEntry> ParseIconGroup(const QByteArray& data);

// The index of the entry that best fits the requested size: the nearest
// size first (a larger image before a smaller one at the same distance),
// then the deepest colour. -1 for an empty list.
int BestIconGroupEntry(const QList<IconGroupEntry>& entries, int width, int height);

class PeResourceModule {
 public:
  // Checks the headers of a module held in memory. Throws qm::Error
  // (kErrorBadExeFormat) when the bytes are not a PE module or its resource
  // directory lies outside the file.
  static PeResourceModule FromBytes(QByteArray bytes);

  // Reads and checks a module file. Throws qm::Error: kErrorFileNotFound
  // when it is missing or not a regular file, kErrorBadExeFormat when it is
  // not a module or is larger than kMaxModuleFileSize.
  static PeResourceModule FromFile(const QString& path);

  bool hasResources() const noexcept { return resourceSize_ != 0; }

  // The bytes of a resource in its first language, or nothing when the
  // module holds no resource of that type and name. Throws qm::Error
  // (kErrorInvalidData) when a record on the way is malformed.
  std::optional<QByteArray> FindResource(const ResourceKey& type, const ResourceKey& name) const;

  // The names and numbers of every resource of one type, in file order.
  QList<ResourceKey> ResourceNames(const ResourceKey& type) const;

  // The image bytes (a DIB with its mask, or a PNG stream) of the icon of
  // the named group that best fits the requested size; nothing when there is
  // no such group. Throws qm::Error (kErrorInvalidData) for a malformed group
  // or a group whose chosen image is missing.
  std::optional<QByteArray> LoadIcon(const ResourceKey& groupName, int width = 16,
                                     int height = 16) const;

 private:
  struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawPointer = 0;
    std::uint32_t rawSize = 0;
  };
  struct Located {
    std::uint64_t offset = 0;  // in the file
    std::uint64_t size = 0;
  };
  struct DirectoryEntry {
    std::uint32_t nameField = 0;
    std::uint32_t dataField = 0;
  };

  explicit PeResourceModule(QByteArray bytes);
  void ParseHeaders();
  LittleEndianView Tree() const;
  std::optional<Located> LocateRva(std::uint64_t rva, std::uint64_t length) const;
  QList<DirectoryEntry> ReadDirectory(std::uint32_t offset) const;
  std::uint64_t NameLength(std::uint32_t nameField) const;
  QString ReadName(std::uint32_t nameField) const;
  bool Matches(const DirectoryEntry& entry, const ResourceKey& key) const;
  std::optional<std::uint32_t> FindSubdirectory(std::uint32_t directory,
                                                const ResourceKey& key) const;
  QByteArray ReadDataEntry(std::uint32_t offset) const;

  QByteArray bytes_;
  QList<Section> sections_;
  std::uint64_t resourceOffset_ = 0;  // file offset of the root directory
  std::uint64_t resourceSize_ = 0;    // bytes from the root to the end of its section
};

// Owns a module loaded as data, as a module handle from LoadLibraryEx with
// LOAD_LIBRARY_AS_DATAFILE is owned until FreeLibrary. Move-only; a default
// constructed owner is the null handle.
class ResourceLibrary {
 public:
  ResourceLibrary() noexcept = default;

  // Loads the module file. Throws qm::Error as PeResourceModule::FromFile.
  static ResourceLibrary Load(const QString& path);

  ResourceLibrary(ResourceLibrary&&) noexcept = default;
  ResourceLibrary& operator=(ResourceLibrary&&) noexcept = default;
  ResourceLibrary(const ResourceLibrary&) = delete;
  ResourceLibrary& operator=(const ResourceLibrary&) = delete;
  ~ResourceLibrary() = default;

  explicit operator bool() const noexcept { return module_ != nullptr; }

  // The loaded module; only valid while the handle is not null.
  const PeResourceModule& module() const noexcept { return *module_; }

  // Releases the module (FreeLibrary); the handle becomes null.
  void Free() noexcept { module_.reset(); }

 private:
  std::unique_ptr<const PeResourceModule> module_;
};

}  // namespace qm::platform
