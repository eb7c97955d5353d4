// The length of a written file from its container: libavformat's header read, and for
// the raw streams that record no length, a pass over their packets without decoding.
#include "output_length.h"

#include "local_media.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdio>

namespace {

// The first audio stream, or nullptr.
AVStream* firstAudio(const AVFormatContext* context) {
    const int index = firstAudioStream(context);
    return index < 0 ? nullptr : context->streams[index];
}

// The seconds the stream's packets cover, added up; -1 when a packet says nothing of
// its duration, or a read fails before the end.
double packetSeconds(AVFormatContext* context, const AVStream* stream) {
    AVPacket* packet = av_packet_alloc();
    if (packet == nullptr)
        return -1;
    int64_t total = 0;
    bool known = true;
    int result = 0;
    while ((result = av_read_frame(context, packet)) >= 0) {
        if (packet->stream_index == stream->index) {
            known = known && packet->duration > 0;
            total += packet->duration;
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    if (!known || result != AVERROR_EOF)
        return -1;
    return static_cast<double>(total) * av_q2d(stream->time_base);
}

double recordedSeconds(AVFormatContext* context, const AVStream* stream) {
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        return static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    // Before the stream-information pass this is the demuxer's own figure (an ASF
    // header's play time), never an estimate from the bit rate.
    if (context->duration != AV_NOPTS_VALUE && context->duration > 0)
        return static_cast<double>(context->duration) / AV_TIME_BASE;
    // The pass sets up the parser that gives a raw stream's packets their durations;
    // the packets it reads are handed out again by the reads that follow.
    if (avformat_find_stream_info(context, nullptr) < 0)
        return -1;
    return packetSeconds(context, stream);
}

} // namespace

int writeOutputLength(const char* path, std::string* report) {
    AVFormatContext* context = nullptr;
    int result = openLocalMedia(path, &context, nullptr);
    if (result < 0)
        return result;
    AVStream* stream = firstAudio(context);
    // A container that announces its streams only as they come needs the pass that
    // finds them; what we write always announces them.
    if (stream == nullptr && (result = avformat_find_stream_info(context, nullptr)) >= 0)
        stream = firstAudio(context);
    if (result >= 0) {
        const double seconds = stream != nullptr ? recordedSeconds(context, stream) : -1;
        char line[64];
        if (seconds >= 0)
            std::snprintf(line, sizeof line, "length=%f\n", seconds);
        else
            std::snprintf(line, sizeof line, "length=N/A\n");
        report->append(line);
    }
    avformat_close_input(&context);
    return result < 0 ? result : 0;
}
