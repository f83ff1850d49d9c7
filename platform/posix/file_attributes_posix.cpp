#include "platform/file_attributes.h"

#include <QFileInfo>

namespace qm::platform {

bool IsNormalFile(const QString& path) {
  const QFileInfo info(path);
  return info.isFile() && !info.isHidden();
}

}  // namespace qm::platform
