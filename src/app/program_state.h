#pragma once

#include <filesystem>

#include "app/content/content_registry.h"
#include "app/content/dance_music_table.h"
#include "app/launch/launch_settings.h"
#include "app/menu/sprite_menu.h"
#include "app/scene/scene_content.h"
#include "app/web/web_links.h"
#include "edition/activity_log.h"
#include "edition/edition_traits.h"
#include "motion/motion_pool.h"
#include "motion/playback_clock.h"
#include "render/texture/texture_cache.h"

namespace kavelune {

// Everything the running program keeps for its whole run: made once by the program's main and
// handed down by reference to what uses it, so there is one of each without any global access.
class ProgramState {
public:
    // Registers the content folders below `programFolder`, points the motion pool at them and
    // reads the dance-to-song table, all as `edition` has them. The web fetch is not started
    // here (see WebLinks), nor is the activity log opened.
    ProgramState(const EditionTraits& edition, std::filesystem::path programFolder, LaunchSettings chosenSettings,
                 WebService service, int userLanguageId, WebAccess webAccess);
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    const EditionTraits& edition;
    const std::filesystem::path programFolder;
    LaunchSettings settings;
    ContentRegistry content;
    MotionPool motionPool;
    DanceMusicTable danceMusic;
    PlaybackClock clock;
    TextureCache textures;
    SpriteMenu menu;
    WebLinks web;
    ActivityLog activityLog;  // opened by the editions that keep one

    SceneContent sceneContent() { return {content, danceMusic, motionPool, textures, clock}; }
};

}  // namespace kavelune
