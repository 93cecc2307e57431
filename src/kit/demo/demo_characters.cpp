#include "kit/demo/demo_characters.h"

#include "base/atomic_file.h"
#include "kit/dcz_writer.h"
#include "kit/demo/demo_figure.h"
#include "kit/demo/demo_textures.h"

namespace kvl::demo {

namespace {

namespace fs = std::filesystem;

class Writer {
public:
    Writer(std::string& error) : error_(error) {}

    bool file(const fs::path& path, const std::string& bytes) {
        if (!kavelune::writeFileAtomically(path, bytes)) {
            error_ = "cannot write " + path.string();
            return false;
        }
        return true;
    }
    bool jpeg(const fs::path& path, const Image& image) { return file(path, encodeJpeg(image)); }
    bool tga(const fs::path& path, const Image& image) { return file(path, encodeTga(image)); }
    bool model(const fs::path& path, const kavelune::CharacterModel& model) {
        if (!kavelune::writeDczFile(path, model)) {
            error_ = "cannot write " + path.string();
            return false;
        }
        return true;
    }

private:
    std::string& error_;
};

// The common textures of a figure: face, hair, skin, shoes and their environment map.
FigureLook standardLook(const std::string& prefix) {
    FigureLook look;
    look.face = prefix + "_face.jpg";
    look.hair = prefix + "_hair.jpg";
    look.skin = prefix + "_skin.jpg";
    look.top = prefix + "_top.jpg";
    look.hips = prefix + "_hips.jpg";
    look.legs = prefix + "_legs.jpg";
    look.shoes = prefix + "_shoe.jpg";
    return look;
}

bool writeCommonTextures(Writer& writer, const fs::path& folder, const std::string& prefix, const Palette& p) {
    return writer.jpeg(folder / (prefix + "_face.jpg"), paintFace(p)) &&
           writer.jpeg(folder / (prefix + "_hair.jpg"), paintHair(p)) &&
           writer.jpeg(folder / (prefix + "_skin.jpg"), paintSkin(p)) &&
           writer.jpeg(folder / (prefix + "_shoe.jpg"), paintShoe(p.shoes)) &&
           writer.jpeg(folder / (prefix + "_shoeenv.jpg"), paintEnvironment(p.shoes));
}

Palette miraPalette() {
    return {{246, 214, 190}, {70, 40, 30}, {60, 110, 170}, {205, 85, 95}, {240, 120, 160},
            {255, 230, 120}, {60, 60, 120}, {250, 250, 250}, {200, 40, 60}};
}
Palette tomaPalette() {
    return {{214, 168, 130}, {30, 25, 25}, {80, 60, 40}, {170, 95, 90}, {60, 150, 210},
            {250, 250, 250}, {50, 70, 120}, {30, 40, 70}, {240, 240, 240}};
}
Palette piaPalette() {
    return {{250, 222, 205}, {230, 180, 80}, {60, 140, 90}, {215, 95, 110}, {120, 200, 170},
            {255, 255, 255}, {240, 240, 250}, {90, 170, 220}, {250, 250, 250}};
}
Palette kaiPalette() {
    return {{180, 130, 100}, {50, 35, 30}, {50, 40, 30}, {150, 80, 75}, {250, 170, 60},
            {120, 60, 30}, {80, 80, 85}, {30, 30, 30}, {40, 40, 40}};
}

FigureShape girlShape() {
    FigureShape shape;
    shape.bust = true;
    shape.torsoWidth = 128.0;
    shape.hipRadius = 138.0;
    shape.shoulderWidth = 160.0;
    shape.limbScale = 0.92;
    return shape;
}

// Long legs and a shorter trunk: the leg fitting has to stretch the reference motions.
FigureShape tallShape() {
    FigureShape shape;
    shape.thigh = 510.0;
    shape.shin = 490.0;
    shape.ankleHeight = 85.0;
    shape.chestRise = 180.0;
    shape.neckRise = 270.0;
    shape.torsoWidth = 150.0;
    shape.hipRadius = 128.0;
    shape.shoulderWidth = 185.0;
    shape.upperArm = 300.0;
    shape.forearm = 260.0;
    shape.hipWidth = 95.0;
    shape.headLength = 112.0;
    shape.headWidth = 90.0;
    shape.limbScale = 1.05;
    return shape;
}

bool writeMira(Writer& writer, const fs::path& characters) {
    const fs::path folder = characters / "Mira";
    fs::create_directories(folder);
    const Palette p = miraPalette();
    FigureSpec figureSpec{"Mira", "Kavelune demo", girlShape(), standardLook("mira")};
    figureSpec.look.hairStyle = HairStyle::Bob;
    figureSpec.look.hands = true;
    figureSpec.look.skirt = "mira_skirt.tga";
    // The top is animated: its parameter file cycles three images on the beat.
    const std::string parameters =
        "# Mira's top changes colour with the music\r\n"
        "<loop><1>\r\n"
        "<map><mira_top_a.jpg><0>\r\n"
        "<map><mira_top_b.jpg><1>\r\n"
        "<map><mira_top_c.jpg><2>\r\n"
        "<time><0><0>\r\n"
        "<time><500><1>\r\n"
        "<time><1000><2>\r\n"
        "<time><1500><1>\r\n"
        "<time><2000><0>\r\n";
    return writeCommonTextures(writer, folder, "mira", p) &&
           writer.jpeg(folder / "mira_top_a.jpg", paintStripes(p.top, p.topAccent, 6, 0.0)) &&
           writer.jpeg(folder / "mira_top_b.jpg", paintStripes(p.top, p.topAccent, 6, 0.33)) &&
           writer.jpeg(folder / "mira_top_c.jpg", paintStripes(p.top, p.topAccent, 6, 0.66)) &&
           writer.file(folder / "mira_top.txt", parameters) &&
           writer.jpeg(folder / "mira_hips.jpg", paintStripes(p.top, p.topAccent, 6, 0.0)) &&
           writer.jpeg(folder / "mira_legs.jpg", paintSkin(p)) &&
           writer.tga(folder / "mira_skirt.tga", paintSkirt(p.bottom, p.bottomAccent)) &&
           writer.model(folder / "Mira.dcz", buildFigure(figureSpec));
}

bool writeToma(Writer& writer, const fs::path& characters) {
    const fs::path folder = characters / "Toma";
    fs::create_directories(folder);
    const Palette p = tomaPalette();
    FigureSpec figureSpec{"Toma", "Kavelune demo", tallShape(), standardLook("toma")};
    figureSpec.look.hairStyle = HairStyle::Short;
    // Right wrist (anchor 12), the grip a hand's breadth below it.
    const std::string description =
        "; Toma sings: the microphone hangs at the right wrist\r\n"
        "Toma 0 0 0 0 -1 toma_mic.dcz 12 0 -75 0\r\n";
    return writeCommonTextures(writer, folder, "toma", p) &&
           writer.jpeg(folder / "toma_top.jpg", paintStripes(p.top, p.topAccent, 3)) &&
           writer.jpeg(folder / "toma_hips.jpg", paintDenim(p.bottom)) &&
           writer.jpeg(folder / "toma_legs.jpg", paintDenim(p.bottom)) &&
           writer.jpeg(folder / "toma_metal.jpg", paintMetal(Colour{60, 60, 65})) &&
           writer.jpeg(folder / "toma_grille.jpg", paintMetal(Colour{200, 200, 205})) &&
           writer.jpeg(folder / "toma_grilleenv.jpg", paintEnvironment(Colour{255, 255, 255})) &&
           writer.file(folder / "Toma.txt", description) &&
           writer.model(folder / "toma_mic.dcz", buildMicrophone("toma_metal.jpg", "toma_grille.jpg")) &&
           writer.model(folder / "Toma.dcz", buildFigure(figureSpec));
}

bool writeDuet(Writer& writer, const fs::path& characters) {
    const Palette pia = piaPalette();
    FigureSpec piaSpec{"Pia", "Kavelune demo", girlShape(), standardLook("pia")};
    piaSpec.shape.thigh = 400.0;
    piaSpec.shape.shin = 380.0;
    piaSpec.look.hairStyle = HairStyle::Ponytail;
    piaSpec.look.hands = true;
    piaSpec.look.skirt = "pia_skirt.tga";

    const Palette kai = kaiPalette();
    FigureSpec kaiSpec{"Kai", "Kavelune demo", tallShape(), standardLook("kai")};
    kaiSpec.shape.thigh = 470.0;
    kaiSpec.shape.shin = 450.0;

    // Side by side, turned a little towards each other; each dances its own track.
    const std::string description =
        "; Pia and Kai dance the two parts of a duet\r\n"
        "Pia 420 0 0 -12 0\r\n"
        "Kai -420 0 0 12 1\r\n";
    return writeCommonTextures(writer, characters, "pia", pia) &&
           writer.jpeg(characters / "pia_top.jpg", paintDots(pia.top, pia.topAccent)) &&
           writer.jpeg(characters / "pia_hips.jpg", paintDots(pia.top, pia.topAccent)) &&
           writer.jpeg(characters / "pia_legs.jpg", paintSkin(pia)) &&
           writer.tga(characters / "pia_skirt.tga", paintSkirt(pia.bottom, pia.bottomAccent)) &&
           writer.model(characters / "Pia.dcz", buildFigure(piaSpec)) &&
           writeCommonTextures(writer, characters, "kai", kai) &&
           writer.jpeg(characters / "kai_top.jpg", paintStripes(kai.top, kai.topAccent, 10)) &&
           writer.jpeg(characters / "kai_hips.jpg", paintDenim(kai.bottom)) &&
           writer.jpeg(characters / "kai_legs.jpg", paintDenim(kai.bottom)) &&
           writer.model(characters / "Kai.dcz", buildFigure(kaiSpec)) &&
           writer.file(characters / "Duet.txt", description);
}

}  // namespace

bool writeCharacters(const fs::path& programFolder, std::string& error) {
    const fs::path characters = programFolder / "Characters";
    fs::create_directories(characters);
    Writer writer(error);
    return writeMira(writer, characters) && writeToma(writer, characters) && writeDuet(writer, characters);
}

}  // namespace kvl::demo
