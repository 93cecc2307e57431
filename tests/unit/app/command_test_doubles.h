#pragma once

#include <set>
#include <string>
#include <vector>

#include "app/scene/scene_control.h"
#include "app/menu/window_control.h"

namespace kavelune::testing {

// Stand-ins for the scene, the window and the dialogs that write every call into one log, so a
// test can check what a command did and in which order.
struct CallLog {
    std::vector<std::string> calls;
    void add(std::string call) { calls.push_back(std::move(call)); }
    void clear() { calls.clear(); }
};

class RecordingScene : public SceneControl {
public:
    explicit RecordingScene(CallLog& log) : log_(log) {}

    std::set<std::string> failingPaths;  // loads of these fail
    LoadedDance danceBrings;             // what every dance that loads reports
    bool isPaused = false;

    bool loadCharacter(const std::string& path) override { return load("character", path); }
    std::optional<LoadedDance> loadDance(const std::string& path) override {
        if (!load("dance", path)) return std::nullopt;
        return danceBrings;
    }
    bool loadSound(const std::string& path) override { return load("sound", path); }
    void play() override { log_.add("play"); }
    void pause() override {
        log_.add("pause");
        isPaused = true;
    }
    void resume() override {
        log_.add("resume");
        isPaused = false;
    }
    bool paused() const override { return isPaused; }
    void stop() override { log_.add("stop"); }
    void setShadow(bool on) override { log_.add(on ? "shadow on" : "shadow off"); }
    void startMotion(int number) override { log_.add("motion " + std::to_string(number)); }
    bool loadClip(const std::string& path) override { return load("clip", path); }

private:
    bool load(const std::string& kind, const std::string& path) {
        log_.add(kind + " " + path);
        return !failingPaths.count(path);
    }
    CallLog& log_;
};

class RecordingWindow : public WindowControl, public DialogLauncher {
public:
    explicit RecordingWindow(CallLog& log) : log_(log) {}

    ScreenRect frameNow{10, 20, 138, 148};

    void destroyWindow() override { log_.add("destroy"); }
    void setSize(int pixels) override { log_.add("size " + std::to_string(pixels)); }
    void setTopMost(bool on) override { log_.add(on ? "top on" : "top off"); }
    void refreshScreen() override { log_.add("refresh"); }
    void showAboutBox() override { log_.add("about"); }
    void openWebSite() override { log_.add("web site"); }
    ScreenRect frame() const override { return frameNow; }
    void startSendMail() override { log_.add("send mail"); }
    void startMailPreference() override { log_.add("mail preference"); }
    void showBalloon(int x, int y) override { log_.add("balloon " + std::to_string(x) + "," + std::to_string(y)); }

private:
    CallLog& log_;
};

}  // namespace kavelune::testing
