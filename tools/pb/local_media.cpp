// Opening local media, the one rule pb.dat's readers share.
#include "local_media.h"

extern "C" {
#include <libavformat/avformat.h>
}

int openLocalMedia(const char* path, AVFormatContext** context, AVDictionary* options) {
    *context = avformat_alloc_context();
    if (*context == nullptr) {
        av_dict_free(&options);
        return AVERROR(ENOMEM);
    }
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int result = avformat_open_input(context, path, nullptr, &options);
    av_dict_free(&options);
    return result; // a failed open frees the context and sets it to nullptr
}

int firstAudioStream(const AVFormatContext* context) {
    for (unsigned i = 0; i < context->nb_streams; ++i)
        if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            return static_cast<int>(i);
    return AVERROR_STREAM_NOT_FOUND;
}
