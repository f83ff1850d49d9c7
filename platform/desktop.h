// Small desktop services the window needs from the operating system: the
// pause between documents and the common controls. (The window icon needs
// no seam: Qt's Windows platform plugin hands a window's icon to the system
// with WM_SETICON.)
#pragma once

namespace qm::platform {

// Suspends the calling thread (Sleep on Windows).
void Sleep(int milliseconds);

// Registers the common control classes before the first window
// (InitCommonControls on Windows; nothing to do elsewhere).
void InitCommonControls();

}  // namespace qm::platform
