// Asking the running host to refresh its folder tree.
//
// The host listens on a top-level window captioned "QMShellCommunicator2006"
// that holds a text box; putting a command text into the box is the whole
// protocol. Without that window nothing is sent, and no failure is ever
// reported: the refresh is a courtesy, not part of a command's result.
#pragma once

#include <QString>

#include "platform/host_window.h"

namespace qm {

// The handle of the host's text box under a window with this caption, or 0.
platform::WindowHandle GetTextBoxHandle(
    const QString& sWindowTitle, platform::WindowSystem& windows = platform::SystemWindows());

// Sends "RefreshFolderTreeview" to the host, waiting at most 100 ms.
void RequestHostRefresh(platform::WindowSystem& windows = platform::SystemWindows());

}  // namespace qm
