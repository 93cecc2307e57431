// kvl render: offline frames of a character, posed through a dance, as PNG files.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/content/dance_music_table.h"
#include "app/launch/launch_settings.h"
#include "arguments.h"
#include "base/message_box.h"
#include "base/path_resolution.h"
#include "base/text.h"
#include "command.h"
#include "model/character_loader.h"
#include "render/scene_renderer.h"
#include "render/texture/model_textures.h"
#include "render/texture/texture_cache.h"
#include "motion/dance_sequence.h"
#include "motion/motion_pool.h"
#include "platform/headless/headless_gl_context.h"
#include "platform/headless/png_file.h"
#include "render_frames.h"
#include "render_posing.h"

namespace kvl {
namespace {

namespace fs = std::filesystem;
using kavelune::CharacterModel;
using Models = std::vector<std::unique_ptr<CharacterModel>>;

constexpr const char* kName = "render";

enum class Backdrop { Transparent, White, Checker };

struct RenderOptions {
    fs::path home;
    std::string character;
    std::string dance;
    std::vector<std::uint32_t> times;
    int width = 512;
    int height = 512;
    float yaw = 0.0f;
    float pitch = 0.0f;
    bool shadow = true;
    Backdrop backdrop = Backdrop::Transparent;
    fs::path out;
    std::optional<fs::path> video;
    double fps = 0.0;
};

template <typename Number>
bool parseNumber(std::string_view text, Number& value) {
    text = kavelune::trimBlanks(text);
    if (text.empty()) {
        return false;
    }
    if constexpr (std::is_floating_point_v<Number>) {
        try {
            std::size_t used = 0;
            value = static_cast<Number>(std::stod(std::string(text), &used));
            return used == text.size() && std::isfinite(value);
        } catch (...) {
            return false;
        }
    } else {
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        return result.ec == std::errc() && result.ptr == text.data() + text.size();
    }
}

// Fills `options` from the arguments; returns an error text, empty when all is well.
std::string readOptions(const Arguments& arguments, RenderOptions& options) {
    if (!arguments.ok()) {
        return arguments.error();
    }
    if (!arguments.positionals().empty()) {
        return "unexpected argument '" + arguments.positionals()[0] + "'";
    }
    const auto home = arguments.value("home");
    const auto out = arguments.value("out");
    if (!home || !out) {
        return "needs --home DIR and --out DIR";
    }
    options.home = *home;
    options.out = *out;
    options.character = arguments.value("character").value_or("");
    options.dance = arguments.value("dance").value_or("");
    options.shadow = !arguments.flag("no-shadow");
    if (auto size = arguments.value("size")) {
        const std::size_t x = size->find_first_of("xX");
        if (x == std::string::npos || !parseNumber(std::string_view(*size).substr(0, x), options.width) ||
            !parseNumber(std::string_view(*size).substr(x + 1), options.height) || options.width < 1 ||
            options.height < 1 || options.width > 8192 || options.height > 8192) {
            return "--size takes WIDTHxHEIGHT, each 1 to 8192";
        }
    }
    if (auto yaw = arguments.value("yaw"); yaw && !parseNumber(*yaw, options.yaw)) {
        return "--yaw takes degrees";
    }
    if (auto pitch = arguments.value("pitch"); pitch && !parseNumber(*pitch, options.pitch)) {
        return "--pitch takes degrees";
    }
    if (auto backdrop = arguments.value("backdrop")) {
        if (*backdrop == "white") options.backdrop = Backdrop::White;
        else if (*backdrop == "checker") options.backdrop = Backdrop::Checker;
        else if (*backdrop == "transparent") options.backdrop = Backdrop::Transparent;
        else return "--backdrop takes white, transparent or checker";
    }
    const auto times = arguments.value("times");
    const auto fps = arguments.value("fps");
    const auto seconds = arguments.value("seconds");
    if (times && (fps || seconds)) {
        return "give either --times or --fps with --seconds";
    }
    if (times) {
        for (const std::string& item : kavelune::splitOn(*times, ',')) {
            std::uint32_t time = 0;
            if (!parseNumber(item, time)) {
                return "--times takes milliseconds separated by commas";
            }
            options.times.push_back(time);
        }
    } else if (fps || seconds) {
        double seconds_ = 0.0;
        if (!fps || !seconds || !parseNumber(*fps, options.fps) || !parseNumber(*seconds, seconds_) ||
            options.fps <= 0.0 || options.fps > 1000.0 || seconds_ <= 0.0 || seconds_ * options.fps > 1e6) {
            return "--fps and --seconds take positive numbers (at most a million frames)";
        }
        const auto frames = static_cast<std::size_t>(std::ceil(seconds_ * options.fps - 1e-9));
        for (std::size_t frame = 0; frame < frames; ++frame) {
            options.times.push_back(static_cast<std::uint32_t>(std::llround(frame * 1000.0 / options.fps)));
        }
    } else {
        options.times.push_back(0);
    }
    if (auto video = arguments.value("video")) {
        options.video = fs::path(*video);
        if (options.fps <= 0.0) {
            return "--video needs --fps and --seconds";
        }
    }
    return {};
}

// A content file named on the command line: as given when it exists, else under `folder`.
fs::path contentFile(const fs::path& home, const char* folder, const std::string& name) {
    std::error_code error;
    if (fs::exists(name, error)) {
        return fs::absolute(name, error);
    }
    fs::path underHome = kavelune::resolveContentPath(home, name);
    if (fs::exists(underHome, error)) {
        return underHome;
    }
    return kavelune::resolveContentPath(home / folder, name);
}

struct LoadedScene {
    kavelune::MotionPool pool;
    Models models;
    fs::path characterFolder;
    std::unique_ptr<kavelune::DanceSequence> dance;
    fs::path danceFile;
};

std::string loadScene(const RenderOptions& options, LoadedScene& scene) {
    std::error_code error;
    if (!fs::is_directory(options.home, error)) {
        return "no program folder " + options.home.string();
    }
    std::string characterName = options.character;
    std::string danceName = options.dance;
    if (characterName.empty()) {
        // Without a choice, the character and dance the launch file names. A missing launch
        // file is reported below as "no character", in one line, not as the program's box.
        auto warnings = kavelune::setMessageBoxHandler(
            [](const kavelune::MessageRequest&) { return kavelune::MessageAnswer::Ok; });
        const kavelune::LaunchSettings launch = kavelune::LaunchSettings::choose(options.home);
        kavelune::setMessageBoxHandler(std::move(warnings));
        characterName = launch.character;
        if (danceName.empty() && options.character.empty()) {
            danceName = launch.dance;
        }
    }
    if (characterName.empty()) {
        return "no character: give --character or name one in the launch file";
    }
    if (!danceName.empty()) {
        kavelune::MotionPool& pool = scene.pool;
        pool.setFolder(kavelune::resolveContentPath(options.home, "Sequences\\Motion Pool"));
        pool.setCameraFolder(options.home);
        fs::path danceFile = contentFile(options.home, "Sequences", danceName);
        if (!fs::exists(danceFile, error) && danceFile.extension().empty()) {
            danceFile += ".dsq";
        }
        scene.danceFile = danceFile;
        if (!fs::exists(danceFile, error)) {
            return "dance not found: " + danceName;
        }
        scene.dance = std::make_unique<kavelune::DanceSequence>();
        std::string problem;
        if (!kavelune::loadDance(danceFile, pool, *scene.dance, &problem)) {
            return "cannot load dance " + danceFile.string() + (problem.empty() ? "" : ": " + problem);
        }
    }
    const fs::path charactersFolder = kavelune::resolveContentPath(options.home, "Characters");
    scene.characterFolder = kavelune::characterFolderFor(options.home, charactersFolder, characterName);
    kavelune::CharacterLoadResult loaded =
        kavelune::loadCharacter(scene.characterFolder, characterName, nullptr);
    if (!loaded.ok()) {
        return "cannot load character " + characterName;
    }
    scene.models = std::move(loaded.models);
    return {};
}

std::string frameName(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06zu.png", index);
    return name;
}

bool haveFfmpeg() { return std::system("command -v ffmpeg >/dev/null 2>&1") == 0; }

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

int encodeVideo(const RenderOptions& options, const LoadedScene& scene) {
    if (!haveFfmpeg()) {
        return fail(kName, "ffmpeg is not installed; the frames are in " + options.out.string());
    }
    std::string command = "ffmpeg -y -loglevel error -framerate " + std::to_string(options.fps) + " -i " +
                          shellQuote((options.out / "frame-%06d.png").string());
    if (scene.dance) {
        // The song playback would choose: the table's pairing first, else the dance's own.
        kavelune::DanceMusicTable table(kavelune::resolveContentPath(options.home, "Info"));
        fs::path song;
        if (auto paired = table.lookup(scene.danceFile.filename().string())) {
            song = kavelune::resolveContentPath(options.home, *paired);
        }
        std::error_code error;
        if (!fs::exists(song, error) && !scene.dance->soundName.empty()) {
            song = kavelune::resolveContentPath(kavelune::resolveContentPath(options.home, "Sounds"),
                                                scene.dance->soundName);
        }
        if (fs::exists(song, error) && kavelune::endsWithNoCase(song.string(), ".mp3")) {
            command += " -i " + shellQuote(song.string()) + " -shortest";
        }
    }
    command += " -pix_fmt yuv420p " + shellQuote(options.video->string());
    if (std::system(command.c_str()) != 0) {
        return fail(kName, "ffmpeg could not encode " + options.video->string());
    }
    return kExitOk;
}

int runRender(const std::vector<std::string>& args) {
    Arguments arguments(args,
                        {"home", "character", "dance", "times", "fps", "seconds", "size", "yaw", "pitch",
                         "backdrop", "out", "video"},
                        {"no-shadow"});
    RenderOptions options;
    if (std::string problem = readOptions(arguments, options); !problem.empty()) {
        return fail(kName, problem, kExitUsage);
    }
    // Boxes the loaders raise (a missing texture, say) become warnings on standard error.
    kavelune::setMessageBoxHandler([](const kavelune::MessageRequest& request) {
        std::cerr << "kvl render: " << request.caption << ": " << request.text << "\n";
        return kavelune::MessageAnswer::Ok;
    });

    kavelune::HeadlessGlContext context;
    if (!context.create(options.width, options.height)) {
        return fail(kName, context.error());
    }
    LoadedScene scene;
    if (std::string problem = loadScene(options, scene); !problem.empty()) {
        return fail(kName, problem);
    }
    std::error_code error;
    fs::create_directories(options.out, error);
    if (!fs::is_directory(options.out, error)) {
        return fail(kName, "cannot create " + options.out.string());
    }

    kavelune::SceneRenderer renderer(&kavelune::HeadlessGlContext::procAddress);
    kavelune::ViewRotation rotation;
    rotation.yaw = options.yaw;
    rotation.pitch = options.pitch;
    renderer.setViewRotation(&rotation);
    renderer.setShadow(options.shadow);

    kavelune::TextureCache cache;
    std::vector<kavelune::ModelTextures> textures;
    for (const auto& model : scene.models) {
        textures.emplace_back(cache);
        textures.back().load(*model, scene.characterFolder);
    }
    RenderPosing posing(scene.dance.get(), scene.models);

    std::vector<std::uint8_t> first;
    std::vector<std::uint8_t> second;
    std::vector<std::uint8_t> picture;
    const int width = options.width;
    const int height = options.height;
    for (std::size_t index = 0; index < options.times.size(); ++index) {
        const std::uint32_t danceTime = posing.danceTime(options.times[index]);
        posing.pose(danceTime);
        for (std::size_t m = 0; m < scene.models.size(); ++m) {
            textures[m].apply(*scene.models[m], danceTime);
        }
        switch (options.backdrop) {
            case Backdrop::White:
                drawOver(renderer, scene.models, width, height, 1, 1, 1, false);
                context.readPixels(picture);
                makeOpaque(picture);
                break;
            case Backdrop::Checker:
                drawOver(renderer, scene.models, width, height, 1, 1, 1, true);
                context.readPixels(picture);
                makeOpaque(picture);
                break;
            case Backdrop::Transparent:
                drawOver(renderer, scene.models, width, height, 0, 0, 0, false);
                context.readPixels(first);
                drawOver(renderer, scene.models, width, height, 1, 1, 1, false);
                context.readPixels(second);
                unblend(first, second, picture);
                break;
        }
        const fs::path file = options.out / frameName(index);
        if (!kavelune::writeRgbaPng(file, width, height, picture)) {
            return fail(kName, "cannot write " + file.string());
        }
    }
    for (auto& modelTextures : textures) {
        modelTextures.release();
    }
    std::cout << options.times.size() << " frame" << (options.times.size() == 1 ? "" : "s") << " written to "
              << options.out.string() << "\n";
    if (options.video) {
        return encodeVideo(options, scene);
    }
    return kExitOk;
}

Command registration(kName,
                     "--home DIR [--character PATH] [--dance PATH] [--times T1,T2,...|--fps N --seconds S] "
                     "[--size WxH] [--yaw DEG] [--pitch DEG] [--no-shadow] "
                     "[--backdrop white|transparent|checker] [--video FILE.mp4] --out DIR",
                     runRender);

}  // namespace
}  // namespace kvl
