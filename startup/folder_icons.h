// The folder icon set: the 28 icons of imlFolders, from the host's resource
// library (the modern set) or from the program's own bitmaps (the classic
// set).
//
// The list's order is a contract: positions 1 to 4 are the collections,
// 5 the folder of new documents, 6 the plain folder and 7 to 28 the host's
// folder symbols 1 to 22. An icon that cannot be loaded keeps its place as an
// entry with a null image, so no later icon moves.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <optional>

#include "hostlib/folder_icons.h"
#include "platform/icon_module.h"
#include "startup/image_list.h"
#include "startup/windows_version.h"

namespace qm::startup {

inline constexpr int kFolderIconCount = folder_icons::kCount;

struct FolderIconRow {
  const char* modernName;   // icon group in the host's resource library
                            // (folder_icons::kModernNames)
  const char* classicName;  // bitmap resource of the program
  const char* key;          // empty for positions 1 to 6
};

// The rows in list order; row i is position i + 1.
const std::array<FolderIconRow, kFolderIconCount>& FolderIconTable();

enum class IconSet { Classic, Modern };

// The host's resource library: the install folder followed directly by
// "QMRes.dll" (the folder is a prefix and carries its own separator).
QString ResourceLibraryPath(const QString& installFolder);

// True when the resource library exists as a normal file (not a folder,
// not hidden, not a system file).
bool ResourceLibraryExists(const QString& installFolder);

// True for the modern set: a version code above 5 and the resource library
// present. Both are asked, whatever the first answer is.
bool ChooseModernIconSet(WindowsVersion& version, const QString& installFolder);

// The named icon of the loaded library at its 16 by 16 size, or nothing
// when the handle is null, the library lacks the name or the icon is
// malformed.
std::optional<QImage> LoadIconPicture(const platform::IconModule& library, const QString& name);

// The bitmap resource of a classic name as stored (a 808-byte packed DIB),
// or an empty array for a name the program does not have.
QByteArray ClassicBitmapResource(const QString& name);

// The classic bitmap as a picture (opaque, silver background), or nothing.
std::optional<QImage> LoadClassicBitmap(const QString& name);

// Appends the 28 entries with their keys. The classic images get their
// silver background made transparent, as the list's mask colour does.
void AddClassicIcons(ImageList& imlFolders);
void AddModernIcons(ImageList& imlFolders, const platform::IconModule& library);

// The fill of start-up: the modern set loads the library from the install
// folder for the fill only and frees it afterwards. A library that cannot be
// loaded at all (unreadable, not a module) would leave 28 empty icons; the
// classic set is used instead. Returns the set that was used.
IconSet FillFolderIcons(ImageList& imlFolders, IconSet set, const QString& installFolder);

}  // namespace qm::startup
