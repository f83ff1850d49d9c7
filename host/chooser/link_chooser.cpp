// Installs the folder chooser in the host library when this library is
// linked (host/lib/folder_chooser_seam.h). That is why qm_host_chooser is an
// object library: a static one would leave this file out of every link,
// since nothing names it.
#include "host/chooser/chooser_icons.h"
#include "host/chooser/folder_chooser.h"
#include "host/lib/folder_chooser_seam.h"

namespace qm::host {
namespace {

[[maybe_unused]] const bool kLinked = [] {
  LinkFolderChooser([](std::vector<ChooserCollection> collections, const QString& installFolder,
                       QWidget* owner, const QString& caption, const QString& prompt,
                       std::int32_t left, std::int32_t top, std::int32_t width,
                       std::int32_t height) {
    return RunFolderChooser(std::move(collections), ChooserIcons::FromInstallFolder(installFolder),
                            owner, caption, prompt, left, top, width, height);
  });
  return true;
}();

}  // namespace
}  // namespace qm::host
