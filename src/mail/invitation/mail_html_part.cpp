#include "mail/invitation/mail_html_part.h"

#include <vector>

#include "base/text.h"
#include "mail/invitation/transfer_decoding.h"

namespace kavelune {

namespace {

constexpr int kMaxNesting = 8;

struct Entity {
    std::string contentType;      // the header value, unfolded
    std::string transferEncoding;
    std::string_view body;
    bool hasHeaders = false;
};

// Splits headers from the body at the first empty line; header lines folded with leading blanks
// are joined. Only the two headers we need are kept.
Entity parseEntity(std::string_view text) {
    Entity entity;
    std::size_t at = 0;
    std::string* current = nullptr;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        at = end + 1;
        if (line.empty()) break;
        if ((line.front() == ' ' || line.front() == '\t') && current) {
            *current += ' ';
            *current += trimBlanks(line);
            continue;
        }
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || line.substr(0, colon).find(' ') != std::string_view::npos) {
            // Not a header line: this was never a MIME message.
            return Entity{{}, {}, text, false};
        }
        std::string_view name = line.substr(0, colon);
        std::string value(trimBlanks(line.substr(colon + 1)));
        current = nullptr;
        if (equalsNoCase(name, "Content-Type")) {
            entity.contentType = value;
            current = &entity.contentType;
        } else if (equalsNoCase(name, "Content-Transfer-Encoding")) {
            entity.transferEncoding = value;
            current = &entity.transferEncoding;
        }
        entity.hasHeaders = true;
    }
    entity.body = at < text.size() ? text.substr(at) : std::string_view();
    return entity;
}

std::string mediaType(const std::string& contentType) {
    std::size_t semicolon = contentType.find(';');
    return toLowerAscii(trimBlanks(std::string_view(contentType).substr(0, semicolon)));
}

// The boundary parameter, quoted or not.
std::string boundaryOf(const std::string& contentType) {
    std::string lower = toLowerAscii(contentType);
    std::size_t at = lower.find("boundary=");
    if (at == std::string::npos) return {};
    at += 9;
    if (at < contentType.size() && contentType[at] == '"') {
        std::size_t close = contentType.find('"', at + 1);
        return close == std::string::npos ? std::string() : contentType.substr(at + 1, close - at - 1);
    }
    std::size_t end = contentType.find_first_of("; \t", at);
    return contentType.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// The parts between "--boundary" lines, up to "--boundary--".
std::vector<std::string_view> splitParts(std::string_view body, const std::string& boundary) {
    std::vector<std::string_view> parts;
    std::string delimiter = "--" + boundary;
    std::size_t partStart = std::string_view::npos;
    std::size_t at = 0;
    while (at <= body.size()) {
        std::size_t end = body.find('\n', at);
        if (end == std::string_view::npos) end = body.size();
        std::string_view line = trimBlanks(body.substr(at, end - at));
        if (line.starts_with(delimiter)) {
            if (partStart != std::string_view::npos) {
                // The line break before the delimiter belongs to it, not to the part.
                std::size_t partEnd = at;
                if (partEnd > partStart && body[partEnd - 1] == '\n') --partEnd;
                if (partEnd > partStart && body[partEnd - 1] == '\r') --partEnd;
                parts.push_back(body.substr(partStart, partEnd - partStart));
            }
            if (line.substr(delimiter.size()).starts_with("--")) return parts;
            partStart = end + 1 <= body.size() ? end + 1 : body.size();
        }
        if (end == body.size()) break;
        at = end + 1;
    }
    return parts;
}

bool decodeBody(const Entity& entity, std::string& out) {
    std::string encoding = toLowerAscii(entity.transferEncoding);
    if (encoding == "quoted-printable") {
        out = decodeQuotedPrintable(entity.body);
        return true;
    }
    if (encoding == "base64") return decodeBase64Data(entity.body, out);
    out = std::string(entity.body);
    return true;
}

bool findHtml(std::string_view text, int depth, std::string& html) {
    if (depth > kMaxNesting) return false;
    Entity entity = parseEntity(text);
    std::string type = mediaType(entity.contentType);
    if (type.starts_with("multipart/")) {
        std::string boundary = boundaryOf(entity.contentType);
        if (boundary.empty()) return false;
        for (std::string_view part : splitParts(entity.body, boundary)) {
            if (findHtml(part, depth + 1, html)) return true;
        }
        return false;
    }
    if (type == "text/html") return decodeBody(entity, html);
    return false;
}

}  // namespace

bool htmlOfSavedMail(std::string_view text, std::string& html) {
    Entity top = parseEntity(text);
    if (!top.hasHeaders || top.contentType.empty()) {
        // A page saved on its own (or a message without MIME structure): take it whole.
        html = std::string(text);
        return true;
    }
    return findHtml(text, 0, html);
}

}  // namespace kavelune
