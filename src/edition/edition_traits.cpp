#include "edition/edition_traits.h"

namespace kavelune {

namespace {

// The hosts are placeholders until the services exist: a ".invalid" name never resolves, so the
// fetch fails at once and the home address stays. KAVELUNE_WEB_HOST and KAVELUNE_HOME_ADDRESS
// point the programs elsewhere.
constexpr EditionTraits kLE{
    .programName = "KaveluneLE",
    .webHost = "http://kavelune.invalid",
    .homeAddress = "http://kavelune.invalid/",
    .installerDataFile = "KaveluneLE.bin",
};

constexpr EditionTraits kTrova{
    .programName = "KaveluneTrova",
    .webSiteItem = {"Go to Trova ...\tF1", "Trova사이트에 접속하기 ...\tF1", "Trovaサイトへ...\tF1"},
    .alwaysOnTop = false,
    .aboutKeys = false,
    .digitKeysStartClips = true,
    .f4LogsWindowPosition = true,
    .speechBalloon = false,
    .clipMotionList = true,
    .activityLog = true,
    .clickThroughByDefault = true,
    .motionBlocks = MotionBlockExtensions::ObjectBlockOnly,
    .webHost = "http://trova.kavelune.invalid",
    .homeAddress = "http://trova.kavelune.invalid/",
    .installerDataFile = "KaveluneTrova.bin",
};

}  // namespace

const EditionTraits& kaveluneLE() { return kLE; }
const EditionTraits& kaveluneTrova() { return kTrova; }

}  // namespace kavelune
