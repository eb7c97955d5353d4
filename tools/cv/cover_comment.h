// The source's cover carried into an Ogg Vorbis or Opus file as a METADATA_BLOCK_PICTURE
// comment: the base64 of a FLAC picture block, which is how Ogg players look for covers.
// This ffmpeg's Ogg muxer refuses picture streams, so cv.dat has ffmpeg's FLAC muxer
// write the block (MIME type, picture type, size, data, all from the source's attached
// picture), takes it out of that file, and gives it to the conversion as metadata from a
// file: a cover is often larger than one argument may be (128 KiB on Linux).
#pragma once

#include "argument_translation.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A folder of our own for the files the cover needs, removed with everything in it when
// the object goes.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    // Empty when no folder could be made.
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// ffmpeg's arguments (without the program) that write a FLAC file of one audio frame and
// the source's attached pictures, but no moving video, to `carrier`.
std::vector<std::string> coverCarrierArguments(const std::string& source,
                                               const std::string& carrier);
// The body of the first PICTURE metadata block of a FLAC file; empty when it has none
// or is no FLAC file.
std::string flacPictureBlock(std::string_view flac);
std::string base64(std::string_view bytes);
// An ffmetadata file that sets METADATA_BLOCK_PICTURE to the block.
std::string pictureCommentMetadata(std::string_view pictureBlock);
// Adds the metadata file as a second input, right after the first; its one tag joins the
// source's global tags.
void addCommentInput(FfmpegCommand& command, const std::string& metadataPath);

// The whole step: runs `ffmpeg` for the carrier in `folder`, and when the source has a
// cover, writes the metadata file there and adds it to `command`. Returns an empty text,
// or why the cover could not be kept (the conversion then goes on without it).
std::string carryCoverAsComment(const std::string& ffmpeg, const TemporaryFolder& folder,
                                FfmpegCommand& command);
