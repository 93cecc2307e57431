#pragma once

#include <array>
#include <string_view>

#include "motion/motion_block.h"

namespace kavelune {

// Everything that differs between KaveluneLE and KaveluneTrova, as plain data. Each program's
// main picks one and hands it down; the libraries are the same for both.
struct EditionTraits {
    std::string_view programName{};  // "KaveluneLE", "KaveluneTrova"
    // The web site item, the menu's first row, in English, Korean and Japanese; empty for the
    // common table's row.
    std::array<std::string_view, 3> webSiteItem{};
    bool alwaysOnTop = true;           // the menu item and the T key
    bool aboutKeys = true;             // A and Alt with "?" or "/" open the About box
    bool digitKeysStartClips = false;  // else 1, 2 and 4 choose the window size
    bool f4LogsWindowPosition = false;
    bool speechBalloon = true;
    bool clipMotionList = false;  // reads Info\clipMotion.txt at start-up
    bool activityLog = false;     // writes sprite.log
    // Clicks beside the character go to the window beneath; KaveluneLE does this only when the
    // user turns it on in settings.ini.
    bool clickThroughByDefault = false;
    MotionBlockExtensions motionBlocks = MotionBlockExtensions::ObjectBlockAndChunkList;
    // Where the site and the two notice files come from, unless the environment says otherwise.
    std::string_view webHost{};
    std::string_view homeAddress{};
    std::string_view installerDataFile{};  // embedded in invitation mails
};

const EditionTraits& kaveluneLE();
const EditionTraits& kaveluneTrova();

}  // namespace kavelune
