#include "host/lib/folder_chooser_seam.h"

namespace qm::host {
namespace {

// A function's static, so that a chooser installed while another library's
// objects are initialised finds it ready.
FolderChooser& Linked() {
  static FolderChooser chooser;
  return chooser;
}

}  // namespace

void LinkFolderChooser(FolderChooser chooser) { Linked() = std::move(chooser); }

const FolderChooser& LinkedFolderChooser() { return Linked(); }

}  // namespace qm::host
