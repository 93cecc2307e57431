#pragma once

namespace kavelune {

// The About box (command 104, Alt+? and Alt+/): a small modal dialog owned by the sprite window.
struct AboutBox {
    static constexpr const char* kTitle = "Kavelune";
    static constexpr const char* kText = "Kavelune\nA character that dances on your desktop.";
    // Its size in dialog units, as the window toolkit scales them to the dialog font.
    static constexpr int kWidthUnits = 230;
    static constexpr int kHeightUnits = 76;
};

}  // namespace kavelune
