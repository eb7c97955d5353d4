// The prober's reading and writing: libavformat open, stream-information pass and
// decoder opening as ffprobe does them, then the values in ffprobe's key=value form.
#include "media_report.h"

#include "fingerprint_report.h"
#include "local_media.h"
#include "tag_report.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/pixdesc.h>
}

#include <cinttypes>
#include <cstdio>

namespace {

class Writer {
public:
    explicit Writer(std::string* out) : m_out(out) {}

    void line(const char* text) {
        m_out->append(text);
        m_out->push_back('\n');
    }
    void text(const char* key, const char* value) {
        m_out->append(key);
        m_out->push_back('=');
        m_out->append(value != nullptr ? value : "unknown");
        m_out->push_back('\n');
    }
    void integer(const char* key, int64_t value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%" PRId64, value);
        text(key, buffer);
    }
    // A count that libav leaves at 0 (or below) when it does not know it.
    void knownInteger(const char* key, int64_t value) {
        if (value > 0) {
            integer(key, value);
        } else {
            text(key, "N/A");
        }
    }
    void timestamp(const char* key, int64_t value) {
        if (value == AV_NOPTS_VALUE) {
            text(key, "N/A");
        } else {
            integer(key, value);
        }
    }
    // Seconds with six decimals, as ffprobe prints them; the C locale is never changed
    // here, so the decimal separator is always a point.
    void seconds(const char* key, int64_t value, AVRational timeBase) {
        if (value == AV_NOPTS_VALUE) {
            text(key, "N/A");
            return;
        }
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value) * av_q2d(timeBase));
        text(key, buffer);
    }
    void ratio(const char* key, AVRational value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%d/%d", value.num, value.den);
        text(key, buffer);
    }

private:
    std::string* m_out;
};

void writeStream(Writer& out, const AVStream* stream) {
    const AVCodecParameters* codec = stream->codecpar;
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec->codec_id);
    out.line("[STREAM]");
    out.integer("index", stream->index);
    out.text("codec_name", descriptor != nullptr ? descriptor->name : nullptr);
    out.text("codec_long_name", descriptor != nullptr ? descriptor->long_name : nullptr);
    out.text("codec_type", av_get_media_type_string(codec->codec_type));
    if (codec->codec_type == AVMEDIA_TYPE_VIDEO) {
        out.integer("width", codec->width);
        out.integer("height", codec->height);
        out.text("pix_fmt", av_get_pix_fmt_name(static_cast<AVPixelFormat>(codec->format)));
    } else if (codec->codec_type == AVMEDIA_TYPE_AUDIO) {
        out.text("sample_fmt", av_get_sample_fmt_name(static_cast<AVSampleFormat>(codec->format)));
        out.integer("sample_rate", codec->sample_rate);
        out.integer("channels", codec->ch_layout.nb_channels);
        char layout[128] = "unknown";
        if (codec->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_describe(&codec->ch_layout, layout, sizeof layout);
        }
        out.text("channel_layout", layout);
        out.integer("bits_per_sample", av_get_bits_per_sample(codec->codec_id));
    }
    out.ratio("r_frame_rate", stream->r_frame_rate);
    out.ratio("avg_frame_rate", stream->avg_frame_rate);
    out.ratio("time_base", stream->time_base);
    out.timestamp("start_pts", stream->start_time);
    out.seconds("start_time", stream->start_time, stream->time_base);
    out.timestamp("duration_ts", stream->duration);
    out.seconds("duration", stream->duration, stream->time_base);
    out.knownInteger("bit_rate", codec->bit_rate);
    out.knownInteger("nb_frames", stream->nb_frames);
    out.line("[/STREAM]");
}

void writeFormat(Writer& out, AVFormatContext* context) {
    out.line("[FORMAT]");
    out.integer("nb_streams", context->nb_streams);
    out.integer("nb_programs", context->nb_programs);
    out.text("format_name", context->iformat->name);
    out.text("format_long_name", context->iformat->long_name);
    out.seconds("start_time", context->start_time, AV_TIME_BASE_Q);
    out.seconds("duration", context->duration, AV_TIME_BASE_Q);
    const int64_t size = context->pb != nullptr ? avio_size(context->pb) : -1;
    if (size >= 0) {
        out.integer("size", size);
    } else {
        out.text("size", "N/A");
    }
    out.knownInteger("bit_rate", context->bit_rate);
    out.integer("probe_score", context->probe_score);
    out.line("[/FORMAT]");
}

// ffprobe opens a decoder for every stream that has one and gives up on the file when
// one of them refuses to open; doing the same keeps the verdicts alike.
int openDecoders(const AVFormatContext* context) {
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        if (stream->codecpar->codec_id == AV_CODEC_ID_PROBE) {
            continue;
        }
        const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
        if (decoder == nullptr) {
            continue;
        }
        AVCodecContext* decoding = avcodec_alloc_context3(decoder);
        if (decoding == nullptr) {
            return AVERROR(ENOMEM);
        }
        int result = avcodec_parameters_to_context(decoding, stream->codecpar);
        if (result >= 0) {
            decoding->pkt_timebase = stream->time_base;
            result = avcodec_open2(decoding, decoder, nullptr);
        }
        avcodec_free_context(&decoding);
        if (result < 0) {
            return result;
        }
    }
    return 0;
}

} // namespace

int writeMediaReport(const char* path, ReportSections sections, std::string* report) {
    // Transport streams: every programme table is read, as ffprobe asks for.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "scan_all_pmts", "1", 0);
    AVFormatContext* context = nullptr;
    int result = openLocalMedia(path, &context, options);
    if (result < 0) {
        return result;
    }
    result = avformat_find_stream_info(context, nullptr);
    if (result >= 0) {
        result = openDecoders(context);
    }
    if (result >= 0) {
        Writer out(report);
        if (sections.streams) {
            for (unsigned i = 0; i < context->nb_streams; ++i) {
                writeStream(out, context->streams[i]);
            }
        }
        if (sections.format) {
            writeFormat(out, context);
        }
        if (sections.tags) {
            writeTagSection(context, report);
        }
        if (sections.fingerprints) {
            result = writeFingerprintSection(context, report);
        }
    }
    avformat_close_input(&context);
    if (result < 0) {
        report->clear();
    }
    return result < 0 ? result : 0;
}

std::string mediaErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(error, text, sizeof text);
    return text;
}
