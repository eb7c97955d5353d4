// Opening a media file for pb.dat's readers: local files only, also for the playlists and
// references inside it, and the first sound stream in it.
#pragma once

struct AVDictionary;
struct AVFormatContext;

// Opens `path` into `*context` (allocated here) with the reader's own `options` (may be
// nullptr; consumed) and the local-files-only rule added. Returns 0, or a libav error code
// (negative) with nothing left open.
int openLocalMedia(const char* path, AVFormatContext** context, AVDictionary* options);

// The index of the first audio stream, or AVERROR_STREAM_NOT_FOUND.
int firstAudioStream(const AVFormatContext* context);
