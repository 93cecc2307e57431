#pragma once

#include <optional>

#include "app/menu/window_commands.h"
#include "edition/edition_traits.h"

namespace kavelune {

// Keys as the sprite window reports them, whatever the toolkit.
enum class Key {
    Other,
    Escape, Space,
    Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
    A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
};

// A switch of LaunchSettings that a key flips before its command goes out.
enum class SwitchFlip { None, Loop, Shadow, TopWindow };

// What a key does: flip a switch, then send a command; or switch the interface language; or
// write the window's position to the activity log.
struct KeyBinding {
    SwitchFlip flip = SwitchFlip::None;
    std::optional<WindowCommand> command;
    int languageId = 0;  // not 0: switch the texts to this language
    bool logsWindowPosition = false;

    bool operator==(const KeyBinding&) const = default;
};

// The key table of the sprite window in `edition`; nothing for a key without a binding. In
// KaveluneLE 3 has none: the Large size is reached through the menu only, while 4 gives 512,
// which the menu does not offer. In KaveluneTrova the digits start clip motions, T and A do
// nothing and F4 logs the window's position.
std::optional<KeyBinding> keyBinding(Key key, const EditionTraits& edition = kaveluneLE());

// The accelerators: Alt with "?" or "/" opens the About box, in the editions that have the keys.
std::optional<WindowCommand> acceleratorCommand(char32_t character, bool altHeld,
                                                const EditionTraits& edition = kaveluneLE());

}  // namespace kavelune
