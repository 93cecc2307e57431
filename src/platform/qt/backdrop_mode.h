#pragma once

namespace kavelune::qt {

// How the sprite window hides its rectangle. Where a compositor runs, the window is truly
// translucent around the character; elsewhere it draws a copy of the desktop behind it.
enum class BackdropMode { Tiles, Translucent };

// KAVELUNE_BACKDROP=tiles|translucent decides; otherwise translucent when a compositing
// manager owns the screen's _NET_WM_CM_S<n> selection. Needs the application object.
BackdropMode chooseBackdropMode();

const char* backdropModeName(BackdropMode mode);

}  // namespace kavelune::qt
