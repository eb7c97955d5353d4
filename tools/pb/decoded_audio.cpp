// Decoding a file's first audio stream through libavcodec, counting its samples and every
// error on the way, in the shape of ffmpeg's decode_audio example.
#include "decoded_audio.h"

#include "local_media.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cinttypes>
#include <cstdio>

namespace {

struct Tally {
    int64_t samples = 0;
    int sampleRate = 0;
    int64_t errors = 0;
    int firstError = 0;

    void error(int code) {
        if (errors++ == 0)
            firstError = code;
    }
};

// Takes every frame the decoder has ready. AVERROR(EAGAIN) and AVERROR_EOF are the
// decoder's "send more" and "done", not faults.
void receiveFrames(AVCodecContext* decoder, AVFrame* frame, Tally* tally) {
    int result = 0;
    while ((result = avcodec_receive_frame(decoder, frame)) >= 0) {
        tally->samples += frame->nb_samples;
        tally->sampleRate = frame->sample_rate;
        if (frame->decode_error_flags != 0 || (frame->flags & AV_FRAME_FLAG_CORRUPT) != 0)
            tally->error(AVERROR_INVALIDDATA);
        av_frame_unref(frame);
    }
    if (result != AVERROR(EAGAIN) && result != AVERROR_EOF)
        tally->error(result);
}

void decodeAll(AVFormatContext* context, int index, AVCodecContext* decoder, Tally* tally,
               void (*progress)()) {
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    if (packet == nullptr || frame == nullptr) {
        tally->error(AVERROR(ENOMEM));
    } else {
        int result = 0;
        while ((result = av_read_frame(context, packet)) >= 0) {
            if (packet->stream_index == index) {
                const int sent = avcodec_send_packet(decoder, packet);
                if (sent < 0)
                    tally->error(sent); // the packet is dropped; decoding goes on
                receiveFrames(decoder, frame, tally);
            }
            av_packet_unref(packet);
            progress();
        }
        // A read that fails ends the stream, as it ends ffmpeg's own reading.
        if (result != AVERROR_EOF)
            tally->error(result);
        avcodec_send_packet(decoder, nullptr); // drain what the decoder holds back
        receiveFrames(decoder, frame, tally);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
}

void writeTally(const Tally& tally, std::string* report) {
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    char lines[256 + AV_ERROR_MAX_STRING_SIZE];
    const double seconds =
        tally.sampleRate > 0 ? static_cast<double>(tally.samples) / tally.sampleRate : 0.0;
    int length =
        std::snprintf(lines, sizeof lines,
                      "samples=%" PRId64 "\nsample_rate=%d\nduration=%f\nerrors=%" PRId64 "\n",
                      tally.samples, tally.sampleRate, seconds, tally.errors);
    if (tally.errors > 0 && length > 0) {
        av_strerror(tally.firstError, text, sizeof text);
        std::snprintf(lines + length, sizeof lines - static_cast<size_t>(length),
                      "first_error=%s\n", text);
    }
    report->append(lines);
}

} // namespace

int writeDecodedAudio(const char* path, std::string* report, void (*progress)()) {
    AVFormatContext* context = nullptr;
    int result = openLocalMedia(path, &context, nullptr);
    if (result < 0)
        return result;
    AVCodecContext* decoder = nullptr;
    const AVCodec* codec = nullptr;
    if ((result = avformat_find_stream_info(context, nullptr)) >= 0)
        result = firstAudioStream(context);
    const int index = result;
    if (result >= 0 &&
        (codec = avcodec_find_decoder(context->streams[index]->codecpar->codec_id)) == nullptr)
        result = AVERROR_DECODER_NOT_FOUND;
    if (result >= 0 && (decoder = avcodec_alloc_context3(codec)) == nullptr)
        result = AVERROR(ENOMEM);
    if (result >= 0 &&
        (result = avcodec_parameters_to_context(decoder, context->streams[index]->codecpar)) >= 0) {
        decoder->pkt_timebase = context->streams[index]->time_base;
        result = avcodec_open2(decoder, codec, nullptr);
    }
    if (result >= 0) {
        Tally tally;
        decodeAll(context, index, decoder, &tally, progress);
        writeTally(tally, report);
    }
    avcodec_free_context(&decoder);
    avformat_close_input(&context);
    return result < 0 ? result : 0;
}
