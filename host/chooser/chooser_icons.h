// The pictures of the host's folder chooser. The host shows its own folder
// icons, from the resource library in its install folder ("QMRes.dll"),
// whatever program asks for the chooser; where the library, or one icon of
// it, is missing, the style's drive and folder icons stand in.
#pragma once

#include <QIcon>
#include <QString>

#include <array>
#include <cstdint>

#include "host/lib/resource_icon_names.h"

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

  // kind 1 is a local collection, any other a network collection.
  QIcon Collection(std::int32_t kind) const;
  // 0 the plain folder, 1 to 22 the folder symbols; any other the plain one.
  QIcon Folder(std::int32_t iconIndex) const;

 private:
  // By the library's positions; null where the library gave nothing.
  std::array<QIcon, kModernIconCount> library_;
};

}  // namespace qm::host
