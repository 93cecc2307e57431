#include "audio_engine/song_tags.h"

#include <mpg123.h>

#include <cstring>
#include <memory>
#include <mutex>

#include "base/code_page.h"
#include "base/text.h"

namespace kavelune {

namespace {

void initialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

// Trailing blanks and the zero bytes ID3v1 pads with are not part of the text.
std::string cleaned(std::string_view text) {
    const std::size_t end = text.find('\0');
    return std::string(trimBlanks(text.substr(0, end)));
}

// ID3v2 texts arrive in UTF-8; a frame may hold several strings separated by zero bytes, of
// which the first is the one to show.
std::string fromVersion2(const mpg123_string* text) {
    if (text == nullptr || text->p == nullptr || text->fill == 0) {
        return {};
    }
    return cleaned(std::string_view(text->p, text->fill));
}

// ID3v1 fields are fixed-size byte arrays in the Western code page, not always terminated.
template <std::size_t N>
std::string fromVersion1(const char (&field)[N]) {
    return codePageToUtf8(cleaned(std::string_view(field, strnlen(field, N))), kCodePageWestern);
}

}  // namespace

std::optional<SongTags> readSongTags(const std::filesystem::path& song) {
    initialiseLibraryOnce();
    int error = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &error));
    if (!handle) {
        return std::nullopt;
    }
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (mpg123_open(handle.get(), song.c_str()) != MPG123_OK) {
        return std::nullopt;
    }
    // Opening looks for an ID3v1 tag at the end of the file; the ID3v2 tag at its start is read
    // on the way to the first audio frame.
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    mpg123_getformat(handle.get(), &rate, &channels, &encoding);
    mpg123_id3v1* v1 = nullptr;
    mpg123_id3v2* v2 = nullptr;
    if (mpg123_id3(handle.get(), &v1, &v2) != MPG123_OK) {
        return std::nullopt;
    }
    SongTags tags;
    if (v2 != nullptr) {
        tags.title = fromVersion2(v2->title);
        tags.artist = fromVersion2(v2->artist);
    }
    if (v1 != nullptr) {
        if (tags.title.empty()) tags.title = fromVersion1(v1->title);
        if (tags.artist.empty()) tags.artist = fromVersion1(v1->artist);
    }
    if (tags.title.empty() && tags.artist.empty()) {
        return std::nullopt;
    }
    return tags;
}

std::string songCaption(const std::optional<SongTags>& tags, std::string_view fileName) {
    const std::string title = tags && !tags->title.empty() ? tags->title : std::string(fileName);
    if (!tags || tags->artist.empty()) {
        return title;
    }
    return title + " \u2014 " + tags->artist;
}

std::string songCaption(const std::filesystem::path& song) {
    return songCaption(readSongTags(song), song.filename().string());
}

}  // namespace kavelune
