// Fingerprinting a file's sound packets and its tags with libavutil's MurmurHash3, packet
// by packet through libavformat, as ffmpeg's demuxing example reads them.
#include "fingerprint_report.h"

#include "lifeline.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/murmur3.h>
}

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kFingerprintBytes = 16;

class Hash {
public:
    Hash() : m_state(av_murmur3_alloc()) {
        if (m_state != nullptr) {
            av_murmur3_init(m_state);
        }
    }
    ~Hash() { av_free(m_state); }
    Hash(const Hash&) = delete;
    Hash& operator=(const Hash&) = delete;

    bool ready() const { return m_state != nullptr; }
    void bytes(const void* data, std::size_t size) {
        av_murmur3_update(m_state, static_cast<const uint8_t*>(data), size);
    }
    // Numbers always as 8 little-endian bytes, so the same file gives the same
    // fingerprint on every machine.
    void number(int64_t value) {
        uint8_t out[8];
        for (int i = 0; i < 8; ++i) {
            out[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
        }
        bytes(out, sizeof out);
    }
    // A text with its length first, so that "ab"+"c" and "a"+"bc" differ.
    void text(const char* value) {
        const std::size_t length = std::strlen(value);
        number(static_cast<int64_t>(length));
        bytes(value, length);
    }
    void hex(char* out /* 2 * kFingerprintBytes + 1 */) {
        uint8_t digest[kFingerprintBytes];
        av_murmur3_final(m_state, digest);
        for (int i = 0; i < kFingerprintBytes; ++i) {
            std::snprintf(out + 2 * i, 3, "%02x", digest[i]);
        }
    }

private:
    AVMurMur3* m_state;
};

bool isSound(const AVStream* stream) {
    return stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
}

void hashTags(Hash* hash, const AVDictionary* tags) {
    const AVDictionaryEntry* entry = nullptr;
    int64_t count = 0;
    while ((entry = av_dict_get(tags, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        hash->text(entry->key);
        hash->text(entry->value);
        ++count;
    }
    hash->number(count);
}

// The container's tags, then each sound stream's and each cover's with the picture.
void hashTagsAndCovers(Hash* hash, const AVFormatContext* context) {
    hashTags(hash, context->metadata);
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        const bool cover = (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
        if (!isSound(stream) && !cover) {
            continue;
        }
        hash->number(i);
        hashTags(hash, stream->metadata);
        if (cover) {
            hash->number(stream->attached_pic.size);
            if (stream->attached_pic.data != nullptr) {
                hash->bytes(stream->attached_pic.data,
                            static_cast<std::size_t>(stream->attached_pic.size));
            }
        }
    }
}

// Each sound stream's codec and format, then every sound packet with its stream.
int hashSound(Hash* hash, AVFormatContext* context) {
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        if (!isSound(stream)) {
            stream->discard = AVDISCARD_ALL; // the demuxer may skip what we do not read
            continue;
        }
        hash->number(i);
        hash->number(stream->codecpar->codec_id);
        hash->number(stream->codecpar->sample_rate);
        hash->number(stream->codecpar->ch_layout.nb_channels);
    }
    AVPacket* packet = av_packet_alloc();
    if (packet == nullptr) {
        return AVERROR(ENOMEM);
    }
    while (av_read_frame(context, packet) >= 0) {
        renewLifeline(); // a long file that is being read is no read that hangs
        const unsigned index = static_cast<unsigned>(packet->stream_index);
        if (index < context->nb_streams && isSound(context->streams[index]) &&
            packet->data != nullptr) {
            hash->number(index);
            hash->number(packet->size);
            hash->bytes(packet->data, static_cast<std::size_t>(packet->size));
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return 0;
}

} // namespace

int writeFingerprintSection(AVFormatContext* context, std::string* report) {
    Hash sound;
    Hash tags;
    if (!sound.ready() || !tags.ready()) {
        return AVERROR(ENOMEM);
    }
    hashTagsAndCovers(&tags, context);
    const int result = hashSound(&sound, context);
    if (result < 0) {
        return result;
    }
    char soundHex[2 * kFingerprintBytes + 1];
    char tagsHex[2 * kFingerprintBytes + 1];
    sound.hex(soundHex);
    tags.hex(tagsHex);
    report->append("[FINGERPRINT]\naudio=").append(soundHex).append("\ntags=").append(tagsHex);
    report->append("\n[/FINGERPRINT]\n");
    return 0;
}
