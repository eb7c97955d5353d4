// Looking up the tags a copy of a library is named and tagged from, under the names the
// demuxers give them, and writing them escaped, one line each.
#include "tag_report.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdio>

namespace {

// The key we write, and the keys libav's demuxers give the same tag (ID3, MP4 and Vorbis
// comments are mapped onto the first; the others are spellings taggers write by hand).
struct TagKey {
    const char* written;
    const char* read[3];
};
constexpr TagKey kTagKeys[] = {
    {"artist", {"artist", nullptr, nullptr}},
    {"albumartist", {"album_artist", "albumartist", "album artist"}},
    {"album", {"album", nullptr, nullptr}},
    {"title", {"title", nullptr, nullptr}},
    {"track", {"track", nullptr, nullptr}},
    {"disc", {"disc", nullptr, nullptr}},
    {"date", {"date", "year", nullptr}},
    {"genre", {"genre", nullptr, nullptr}},
};

const AVDictionary* firstSoundStreamTags(const AVFormatContext* context) {
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            return stream->metadata;
        }
    }
    return nullptr;
}

const char* lookUp(const AVDictionary* tags, const TagKey& key) {
    for (const char* name : key.read) {
        if (name == nullptr) {
            break;
        }
        // Matched without regard to case, as Vorbis comments are.
        if (const AVDictionaryEntry* entry = av_dict_get(tags, name, nullptr, 0)) {
            return entry->value;
        }
    }
    return nullptr;
}

void appendEscaped(std::string* report, const char* value) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p != 0; ++p) {
        if (*p == '\\') {
            report->append("\\\\");
        } else if (*p == '\n') {
            report->append("\\n");
        } else if (*p == '\r') {
            report->append("\\r");
        } else if (*p < 0x20 || *p == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", *p);
            report->append(escaped);
        } else {
            report->push_back(static_cast<char>(*p));
        }
    }
}

} // namespace

void writeTagSection(const AVFormatContext* context, std::string* report) {
    const AVDictionary* sources[] = {context->metadata, firstSoundStreamTags(context)};
    report->append("[TAGS]\n");
    for (const TagKey& key : kTagKeys) {
        for (const AVDictionary* tags : sources) {
            if (const char* value = lookUp(tags, key)) {
                report->append(key.written);
                report->push_back('=');
                appendEscaped(report, value);
                report->push_back('\n');
                break;
            }
        }
    }
    report->append("[/TAGS]\n");
}
