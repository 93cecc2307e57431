#pragma once

namespace kavelune {

class ContentRegistry;
class DanceMusicTable;
class MotionPool;
class PlaybackClock;
class TextureCache;

// What the scene loads its content through and shares for the program's whole run. The program
// owns these objects and outlives the scene.
struct SceneContent {
    ContentRegistry& registry;
    DanceMusicTable& danceMusic;
    MotionPool& motionPool;
    TextureCache& textures;
    PlaybackClock& clock;
};

}  // namespace kavelune
