// The files the command line names: given files as they are, given folders walked to
// the bottom, each file with the folder it sits in below the folder its tree is taken
// from. Every file is walked once, however many arguments reach it.
#pragma once

#include <string>
#include <vector>

// The hidden folder a mirror keeps its own records in; never walked as a source.
inline constexpr const char* kMirrorFolderName = ".nemarro";

struct SourceFile {
    std::string path;           // the given path, or the given folder's path and below
    std::string root;           // the folder its tree is taken from, absolute
    std::string relativeFolder; // below the folder its tree is taken from, '/'-separated
    std::string relativePath;   // relativeFolder and the file's own name: what --shard hashes
};

// What to walk. A file given on the command line has its own folder as its tree (its
// relativeFolder is ""); a folder keeps the tree below it. The paths of a --files-from
// list share one tree: the one below the deepest folder that holds every listed path (a
// listed folder counts as holding itself).
struct SourceRequest {
    std::vector<std::string> arguments; // from the command line: each must exist
    std::vector<std::string> listed;    // from --files-from: a missing one is a problem
    std::string outputFolder;           // never walked when it lies inside a given folder
};

// A listed path that names nothing, or a folder that cannot be read: named, and the rest
// is walked.
struct SourceProblem {
    std::string path;
    bool unreadableFolder = false; // else the path names nothing
    std::string reason;            // the system's words for an unreadable folder
};

struct SourceWalk {
    std::vector<SourceFile> files; // arguments in order; a folder's files sorted by path
    std::vector<SourceProblem> problems;
};

// The problem as a line: "no such file or folder: PATH", "cannot read folder PATH: REASON".
std::string problemText(const SourceProblem& problem);

// Walks every folder of `request`. A file or folder that another given folder's walk
// reaches is left to that walk (the outer folder keeps the fuller tree); the same path
// given twice counts once. Inside the walk, folder links are not followed (they could lead
// round in a circle), and neither the output folder nor a mirror's kMirrorFolderName
// folder is entered. False, with `error` naming it, when a command-line argument names
// nothing: then nothing should run.
bool collectSourceFiles(const SourceRequest& request, SourceWalk* walk, std::string* error);
