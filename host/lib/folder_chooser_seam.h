// The seam between the host library and its folder chooser.
//
// The chooser is a Widgets dialog in a library of its own (host/chooser/),
// so that what never shows it (qmhost, the engine and its tests) links no
// Widgets. Linking that library is what installs it here, as its objects
// are loaded; HostApplication::ChooseFolder in a program without it fails
// with kNoFolderChooser instead of showing nothing.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "hostlib/host_library.h"

class QWidget;

namespace qm::host {

// One collection of the chooser; one that cannot be opened is shown
// disabled, with the reason as its tooltip.
struct ChooserCollection {
  std::int32_t id = 0;
  std::shared_ptr<HostCollection> collection;  // nullptr when it cannot be opened
  QString error;
};

// Shows the chooser over the collections of the catalog and returns the
// chosen folder, or nullptr for Cancel. installFolder is the host's, where
// the chooser finds its icons; sizes are in twips.
using FolderChooser = std::function<std::shared_ptr<HostFolder>(
    std::vector<ChooserCollection> collections, const QString& installFolder, QWidget* owner,
    const QString& caption, const QString& prompt, std::int32_t left, std::int32_t top,
    std::int32_t width, std::int32_t height)>;

void LinkFolderChooser(FolderChooser chooser);
// Empty when no chooser is linked.
const FolderChooser& LinkedFolderChooser();

}  // namespace qm::host
