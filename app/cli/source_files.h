// The files the command line names: given files as they are, given folders walked to
// the bottom, each file with the folder it sits in below the given one.
#pragma once

#include <string>
#include <vector>

struct SourceFile {
    std::string path;           // the given path, or the given folder's path and below
    std::string relativeFolder; // below the given folder, '/'-separated; "" at its top
};

// Every file of `arguments` in order; a folder's files sorted by their path. Folder links
// inside a walked folder are not followed (they could lead round in a circle). False, with
// `error` naming it, when an argument names nothing.
bool collectSourceFiles(const std::vector<std::string>& arguments, std::vector<SourceFile>* files,
                        std::string* error);
