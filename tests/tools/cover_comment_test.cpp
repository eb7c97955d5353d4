// The pieces of a cover carried as a Vorbis comment: the FLAC picture block found in the
// carrier file, base64, the metadata file's text and where its input goes.
#include "cover_comment.h"

#include <gtest/gtest.h>

namespace {

// A metadata block header: the last-block flag with the type, then a 24-bit length.
std::string block(unsigned char type, const std::string& body, bool last) {
    const std::size_t n = body.size();
    return std::string{static_cast<char>(type | (last ? 0x80 : 0)), static_cast<char>(n >> 16),
                       static_cast<char>((n >> 8) & 0xff), static_cast<char>(n & 0xff)} +
           body;
}

TEST(CoverComment, FindsThePictureBlockAndNothingOutsideTheFile) {
    const std::string info = block(0, std::string(34, 'i'), false);
    const std::string comment = block(4, "vendor", false);
    EXPECT_EQ(flacPictureBlock("fLaC" + info + comment + block(6, "PICTURE", true)), "PICTURE");
    EXPECT_EQ(flacPictureBlock("fLaC" + info + block(4, "vendor", true) + block(6, "late", true)),
              ""); // behind the last block is audio, never a picture
    const std::string cut = "fLaC" + info + block(6, "PICTURE", true);
    EXPECT_EQ(flacPictureBlock(cut.substr(0, cut.size() - 1)), "");
    EXPECT_EQ(flacPictureBlock("fLaC" + info.substr(0, 3)), "");
    EXPECT_EQ(flacPictureBlock("OggS" + info + block(6, "PICTURE", true)), "");
}

TEST(CoverComment, Base64AndTheMetadataFileEscapeAsTheirFormatsAsk) {
    // RFC 4648's test vectors, and every byte value.
    const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                           {"f", "Zg=="},
                                                           {"fo", "Zm8="},
                                                           {"foo", "Zm9v"},
                                                           {"foob", "Zm9vYg=="},
                                                           {"fooba", "Zm9vYmE="},
                                                           {"foobar", "Zm9vYmFy"}};
    for (const auto& [bytes, text] : vectors)
        EXPECT_EQ(base64(bytes), text);
    EXPECT_EQ(base64(std::string("\xff\xfe\x00", 3)), "//4A");
    EXPECT_EQ(pictureCommentMetadata("fo"), ";FFMETADATA1\nMETADATA_BLOCK_PICTURE=Zm8\\=\n");
}

TEST(CoverComment, TheMetadataInputFollowsTheSourceAndJoinsItsTags) {
    FfmpegCommand command;
    command.arguments = {"-hide_banner", "-ss", "5", "-i", "in.flac", "-vn", "-y", "out.opus"};
    addCommentInput(command, "/tmp/cover.txt");
    EXPECT_EQ(command.arguments,
              (std::vector<std::string>{"-hide_banner", "-ss", "5", "-i", "in.flac", "-f",
                                        "ffmetadata", "-i", "/tmp/cover.txt", "-map_metadata", "0",
                                        "-map_metadata", "1", "-vn", "-y", "out.opus"}));
}

} // namespace
