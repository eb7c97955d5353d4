// pb.dat, the prober front end: becomes the system's ffprobe with the same arguments, so
// its output, both streams, and its exit status reach the caller untouched.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    (void)argc;
    argv[0] = const_cast<char*>("ffprobe");
    execvp("ffprobe", argv);
    // Only reached when ffprobe could not be run.
    if (errno == ENOENT)
        std::fprintf(stderr, "pb.dat: ffprobe was not found on PATH; install ffmpeg to probe files\n");
    else
        std::fprintf(stderr, "pb.dat: could not start ffprobe: %s\n", std::strerror(errno));
    return 1;
}
