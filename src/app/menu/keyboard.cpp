#include "app/menu/keyboard.h"

#include "app/menu/menu_text.h"

namespace kavelune {

namespace {

namespace command = window_command;

KeyBinding sends(WindowCommand windowCommand, SwitchFlip flip = SwitchFlip::None) {
    return KeyBinding{flip, std::move(windowCommand), 0};
}

KeyBinding switchesLanguage(int languageId) { return KeyBinding{SwitchFlip::None, std::nullopt, languageId}; }

bool isDigit(Key key) { return key >= Key::Digit0 && key <= Key::Digit9; }

}  // namespace

std::optional<KeyBinding> keyBinding(Key key, const EditionTraits& edition) {
    if (edition.digitKeysStartClips && isDigit(key)) {
        return sends(commandWithValue(command::kStartMotion, static_cast<int>(key) - static_cast<int>(Key::Digit0)));
    }
    if (key == Key::F4 && edition.f4LogsWindowPosition) {
        KeyBinding binding;
        binding.logsWindowPosition = true;
        return binding;
    }
    if ((key == Key::T && !edition.alwaysOnTop) || (key == Key::A && !edition.aboutKeys)) return std::nullopt;
    switch (key) {
        case Key::Escape: return sends(plainCommand(command::kExit));
        case Key::Space:
        case Key::F5: return sends(plainCommand(command::kRefresh));
        case Key::Digit1: return sends(commandWithValue(command::kSetSize, 128));
        case Key::Digit2: return sends(commandWithValue(command::kSetSize, 256));
        case Key::Digit4: return sends(commandWithValue(command::kSetSize, 512));
        case Key::A: return sends(plainCommand(command::kAbout));
        case Key::L: return sends(plainCommand(command::kApplyLoop), SwitchFlip::Loop);
        case Key::P: return sends(plainCommand(command::kPause));
        case Key::R: return sends(plainCommand(command::kRestart));
        case Key::T: return sends(plainCommand(command::kApplyTopWindow), SwitchFlip::TopWindow);
        case Key::W: return sends(plainCommand(command::kApplyShadow), SwitchFlip::Shadow);
        case Key::F1: return sends(plainCommand(command::kOpenWebSite));
        case Key::F6: return sends(plainCommand(command::kSendMail));
        case Key::F7: return sends(plainCommand(command::kMailPreference));
        case Key::F10: return switchesLanguage(kLanguageIdKorean);
        case Key::F11: return switchesLanguage(kLanguageIdEnglish);
        case Key::F12: return switchesLanguage(kLanguageIdJapanese);
        default: return std::nullopt;
    }
}

std::optional<WindowCommand> acceleratorCommand(char32_t character, bool altHeld, const EditionTraits& edition) {
    if (edition.aboutKeys && altHeld && (character == U'?' || character == U'/')) return plainCommand(command::kAbout);
    return std::nullopt;
}

}  // namespace kavelune
