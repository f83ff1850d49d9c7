// The pictures of the host's folder chooser. The host shows its own folder
// icons, from the resource library in its install folder ("QMRes.dll"),
// whatever program asks for the chooser; where the library, or one icon of
// it, is missing, the style's drive and folder icons stand in.
#pragma once

#include <QIcon>
#include <QString>

#include <array>
#include <cstdint>

#include "hostlib/folder_icons.h"

namespace qm::host {

class ChooserIcons {
 public:
  // Only the style's icons.
  ChooserIcons() = default;

  // Loads the icons from the library in the install folder for this call
  // only and frees it again, so that a library replaced between two
  // choosers is seen and none stays loaded. A library that cannot be
  // loaded gives the style's icons.
  static ChooserIcons FromInstallFolder(const QString& installFolder);

  // folder_icons::kLocalKind is a local collection, any other a network one.
  QIcon Collection(std::int32_t kind) const;
  // 0 the plain folder, the host's folder symbols by number; any other the
  // plain one.
  QIcon Folder(std::int32_t iconIndex) const;

 private:
  // By the library's positions; null where the library gave nothing.
  std::array<QIcon, folder_icons::kCount> library_;
};

}  // namespace qm::host
