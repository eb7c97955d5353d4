// The encoder's command line for one job: audio and video options, range options and
// an output path that names no existing file.
#pragma once

#include "conversion_job.h"
#include "profile.h"

struct OutputClaims;

#include <cstddef>

// The whole line has kCommandLineSize bytes (path_limits.h).
inline constexpr std::size_t kArgsSize = 512; // audio part, video part

// Results of the builders.
inline constexpr int kBuildDone = 0;
inline constexpr int kBuildNoJob = -1;
// A text does not fit its buffer, a path holds a double quote where the platform cannot
// carry one (Windows), or a selected index names no entry of its list. Nothing usable is produced:
// a cut output path could name another existing file, which "-y" would overwrite.
inline constexpr int kBuildRefused = -2;

// "-acodec %s " then "-ab", "-ar", "-ac" options unless their entry is "Auto".
int buildAudioArgs(const AudioCodecSettings& codec, char* args /* kArgsSize */);
// "-vcodec %s " then "-s", "-b", "-r", "-aspect" options unless their entry is "Auto".
int buildVideoArgs(const VideoCodecSettings& codec, char* args /* kArgsSize */);
// The folder the job's output goes to, ending with the separator: destinationFolder
// and a separator, or the source file's own folder.
int outputFolder(const ConversionJob& job, char* folder /* kPathSize */);
// The output's name before any counter: the job's namedBaseName when a front end chose
// one, else its sourceBaseName.
const char* outputStem(const ConversionJob& job);
// Makes baseName name nothing existing in `folder` (appending a separator to the folder
// when it lacks one): unchanged when free, else baseName(N) for the first free N from 0.
// A name is free when outputPathTaken says it is not: nothing exists there and no run of
// the same queue (`claims`, nullptr for none) claimed it.
int uniqueOutputName(char* baseName /* kPathSize */, char* folder /* kPathSize */,
                     const char* extension, const OutputClaims* claims = nullptr);
// The full output path; rewrites the job's outputBaseName. The name before any counter is
// the job's namedBaseName when it has one, else its sourceBaseName.
int buildOutputPath(ConversionJob* job, char* path /* kPathSize */,
                    const OutputClaims* claims = nullptr);
// The path the last buildOutputPath gave: output folder, outputBaseName and extension,
// without looking for a free name again (the file may well exist by now).
int lastOutputPath(const ConversionJob& job, char* path /* kPathSize */);
// The path the job's output has before any counter: output folder, namedBaseName (or
// sourceBaseName) and extension (whether it is taken decides a skip of files converted
// before).
int sourceOutputPath(const ConversionJob& job, char* path /* kPathSize */);
// "\"%s\" %s-i \"%s\" %s-y %s%s\"%s\"" with the program path, seek part, source path,
// duration part, video part, audio part and output path, each path quoted by
// appendQuotedArgument (a double quote inside it escaped on POSIX). kBuildNoJob without a job;
// on any result but kBuildDone the line is left as it was.
int buildEncoderCommandLine(const char* programPath, ConversionJob* job,
                            char* commandLine /* kCommandLineSize */,
                            const OutputClaims* claims = nullptr);

// The same line writing to `outputPath` as it is (a temporary name chosen by the caller),
// with no output name looked for; the job's outputBaseName stays.
int buildEncoderCommandLineTo(const char* programPath, ConversionJob* job, const char* outputPath,
                              char* commandLine /* kCommandLineSize */);

// The encoder's line for a re-tag (cv.dat takes the tags and cover of its second input):
// "\"%s\" -i \"%s\" -i \"%s\"  -vn -y -acodec copy \"%s\"" with the program path, the
// file whose sound is copied, the file whose tags it takes, and the file to write; each
// path quoted by appendQuotedArgument. kBuildDone, or kBuildRefused when it does not fit
// (the line is then left as it was).
int buildRetagCommandLine(const char* programPath, const char* soundPath, const char* tagsPath,
                          const char* newPath, char* commandLine /* kCommandLineSize */);
