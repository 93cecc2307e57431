// `kvl inspect` for the other kinds of file a program folder holds beside models and dances:
// texture images, songs (plain and scrambled) and play lists. Each reads the file through the
// program's own reader, so a file the program could not use fails here too.
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/content/play_list.h"
#include "arguments.h"
#include "audio_engine/codec/open_decoder.h"
#include "audio_engine/input/file_source.h"
#include "command.h"
#include "json_output.h"
#include "model/texture/hv_image_loader.h"
#include "music/emp_scramble.h"

namespace kvl {

namespace {

using nlohmann::ordered_json;

// The single positional FILE of an inspector, or an exit status.
bool fileArgument(const std::vector<std::string>& args, const char* usage, std::string& file, bool& json,
                  int& status) {
    Arguments arguments(args, {}, {"json"});
    if (!arguments.ok() || arguments.positionals().size() != 1) {
        status = fail("inspect", arguments.ok() ? std::string("usage: ") + usage : arguments.error(), kExitUsage);
        return false;
    }
    file = arguments.positionals()[0];
    json = arguments.flag("json");
    return true;
}

void print(const ordered_json& facts, bool json, const std::string& text) {
    if (json) {
        std::cout << jsonText(facts) << "\n";
    } else {
        std::cout << text;
    }
}

int inspectImage(const std::vector<std::string>& args) {
    std::string file;
    bool json = false;
    int status = kExitOk;
    if (!fileArgument(args, "kvl inspect IMAGE.jpg|tga|gif|bmp [--json]", file, json, status)) return status;
    kavelune::Image image;
    if (!kavelune::HvImageLoader::load(file, image)) {
        return fail("inspect", "cannot decode " + file);
    }
    ordered_json facts{{"width", image.width}, {"height", image.height}, {"components", image.components},
                       {"alpha", image.hasAlpha()}};
    std::ostringstream text;
    text << file << ": " << image.width << " x " << image.height << ", " << image.components << " components"
         << (image.hasAlpha() ? " (with alpha)" : "") << "\n";
    print(facts, json, text.str());
    return kExitOk;
}

// A song held in memory, for the unscrambled bytes of an .emp file.
class MemorySource : public kavelune::engine::ByteSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::int64_t read(void* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, bytes_.size() - position_);
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<std::int64_t>(n);
    }
    bool seekable() const override { return true; }
    std::int64_t seek(std::int64_t offset, int whence) override {
        const std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<std::int64_t>(position_)
                                                                               : size();
        const std::int64_t target = base + offset;
        if (target < 0 || target > size()) return -1;
        position_ = static_cast<std::size_t>(target);
        return target;
    }
    std::int64_t size() const override { return static_cast<std::int64_t>(bytes_.size()); }

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

int inspectSong(const std::vector<std::string>& args) {
    std::string file;
    bool json = false;
    int status = kExitOk;
    if (!fileArgument(args, "kvl inspect SONG.mp3|emp [--json]", file, json, status)) return status;
    const bool scrambled = file.size() >= 4 && (file.compare(file.size() - 4, 4, ".emp") == 0 ||
                                                file.compare(file.size() - 4, 4, ".EMP") == 0);
    std::unique_ptr<kavelune::engine::ByteSource> source;
    if (scrambled) {
        std::ifstream in(file, std::ios::binary);
        if (!in) return fail("inspect", "cannot open " + file);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        kavelune::unscrambleEmp(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
        source = std::make_unique<MemorySource>(std::move(bytes));
    } else {
        source = kavelune::engine::FileSource::open(file);
        if (!source) return fail("inspect", "cannot open " + file);
    }
    int error = 0;
    auto decoder = kavelune::engine::openDecoder(std::move(source), error);
    if (!decoder) {
        return fail("inspect", "cannot decode " + file + " (engine error " + std::to_string(error) + ")");
    }
    const auto format = decoder->format();
    const std::int64_t frames = decoder->lengthFrames();
    const double seconds = format.rate > 0 && frames >= 0 ? static_cast<double>(frames) / format.rate : -1.0;
    ordered_json facts{{"scrambled", scrambled}, {"rate", format.rate}, {"channels", format.channels},
                       {"frames", frames}, {"seconds", seconds}};
    std::ostringstream text;
    text << file << ": " << (scrambled ? "scrambled MPEG audio" : "MPEG audio") << ", " << format.rate << " Hz, "
         << format.channels << " channels, " << seconds << " s\n";
    print(facts, json, text.str());
    return kExitOk;
}

int inspectPlayList(const std::vector<std::string>& args) {
    std::string file;
    bool json = false;
    int status = kExitOk;
    if (!fileArgument(args, "kvl inspect LIST.lst [--json]", file, json, status)) return status;
    std::ifstream in(file, std::ios::binary);
    if (!in) return fail("inspect", "cannot open " + file);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const kavelune::PlayList list = kavelune::PlayList::parse(bytes.str());
    ordered_json facts{{"songs", list.songs()}};
    std::ostringstream text;
    text << file << ": " << list.songs().size() << " songs\n";
    for (const std::string& song : list.songs()) text << "  " << song << "\n";
    print(facts, json, text.str());
    return kExitOk;
}

Inspector jpgInspector("jpg", inspectImage);
Inspector tgaInspector("tga", inspectImage);
Inspector gifInspector("gif", inspectImage);
Inspector bmpInspector("bmp", inspectImage);
Inspector mp3Inspector("mp3", inspectSong);
Inspector empInspector("emp", inspectSong);
Inspector lstInspector("lst", inspectPlayList);

}  // namespace

}  // namespace kvl
