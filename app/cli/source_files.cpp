// Walking the given folders for their files, each file once.
#include "source_files.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// One argument or listed path, before its walk.
struct Root {
    std::string given;      // as typed or listed
    std::string real;       // its real path: tells two roots the same or one inside the other
    std::string treeFolder; // where it sits in its tree: "" unless listed below the list's folder
    bool folder = false;
    std::string excluded; // a folder's: the output folder below it, when it lies inside
    std::string tree;     // the folder its tree is taken from, absolute
};

std::string joined(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : name.empty() ? folder : folder + "/" + name;
}

std::string relativeText(const fs::path& path, const fs::path& base) {
    const std::string text = path.lexically_relative(base).generic_string();
    return text == "." ? "" : text;
}

// `path` below `folder`, or "" when it is not strictly inside it.
std::string strictlyBelow(const std::string& path, const std::string& folder) {
    const std::string below = relativeText(path, folder);
    return below.empty() || below == ".." || below.rfind("../", 0) == 0 ? "" : below;
}

// The absolute, lexically normal form of `path`, without a trailing separator.
fs::path plainAbsolute(const std::string& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error).lexically_normal();
    if (!absolute.has_filename() && absolute != absolute.root_path()) {
        absolute = absolute.parent_path();
    }
    return absolute;
}

std::string realPath(const std::string& path) {
    std::error_code error;
    const fs::path real = fs::canonical(path, error);
    return error ? plainAbsolute(path).string() : real.string();
}

// The deepest folder that holds every one of `folders`.
fs::path commonFolder(const std::vector<fs::path>& folders) {
    fs::path common = folders.front();
    for (const fs::path& folder : folders) {
        fs::path shared;
        auto a = common.begin();
        auto b = folder.begin();
        for (; a != common.end() && b != folder.end() && *a == *b; ++a, ++b) {
            shared /= *a;
        }
        common = shared;
    }
    return common;
}

// True when the walk of `folder` reaches `path` (a real path below it): neither the
// output folder nor a mirror's own folder lies on the way.
bool walkReaches(const Root& folder, const std::string& path) {
    const std::string below = relativeText(path, folder.real);
    if (!folder.excluded.empty() &&
        (below == folder.excluded || below.rfind(folder.excluded + "/", 0) == 0)) {
        return false;
    }
    for (const fs::path& part : fs::path(below)) {
        if (part == kMirrorFolderName) {
            return false;
        }
    }
    return true;
}

// True when `roots[index]` is reached by the walk of a folder among the roots, or is the
// same as an earlier root.
bool walkedElsewhere(const std::vector<Root>& roots, std::size_t index,
                     const std::map<std::string, std::size_t>& firstByPath) {
    const Root& root = roots[index];
    if (firstByPath.at(root.real) != index) {
        return true;
    }
    fs::path above(root.real);
    while (above.has_relative_path()) {
        above = above.parent_path();
        const auto folder = firstByPath.find(above.string());
        if (folder != firstByPath.end() && roots[folder->second].folder &&
            walkReaches(roots[folder->second], root.real)) {
            return true;
        }
    }
    return false;
}

void walkFolder(const Root& root, SourceWalk* walk) {
    std::vector<SourceFile> found;
    std::vector<std::string> pending{""}; // folders still to read, below the root
    while (!pending.empty()) {
        const std::string below = pending.back();
        pending.pop_back();
        const fs::path folder = below.empty() ? fs::path(root.given) : fs::path(root.given) / below;
        std::error_code error;
        fs::directory_iterator it(folder, error);
        for (; !error && it != fs::directory_iterator(); it.increment(error)) {
            const std::string name = it->path().filename().string();
            const std::string relative = joined(below, name);
            std::error_code typeError;
            if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
                if (name != kMirrorFolderName && relative != root.excluded) {
                    pending.push_back(relative);
                }
                continue;
            }
            if (!it->is_regular_file(typeError)) {
                continue; // folder links are not followed; devices, pipes and sockets are no music
            }
            found.push_back(SourceFile{it->path().string(), root.tree,
                                       joined(root.treeFolder, below),
                                       joined(root.treeFolder, relative)});
        }
        if (error) {
            walk->problems.push_back(SourceProblem{folder.string(), true, error.message()});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.path < b.path; });
    walk->files.insert(walk->files.end(), found.begin(), found.end());
}

} // namespace

bool collectSourceFiles(const SourceRequest& request, SourceWalk* walk, std::string* error) {
    std::vector<Root> roots;
    for (const std::string& argument : request.arguments) {
        std::error_code statError;
        const fs::file_status status = fs::status(argument, statError);
        if (!fs::exists(status)) {
            *error = "no such file or folder: " + argument;
            return false;
        }
        const bool folder = fs::is_directory(status);
        const fs::path absolute = plainAbsolute(argument);
        roots.push_back(Root{argument, realPath(argument), "", folder, "",
                             (folder ? absolute : absolute.parent_path()).string()});
    }

    std::vector<Root> listed;
    std::vector<fs::path> listedFolders; // each listed path's folder, or itself when a folder
    for (const std::string& path : request.listed) {
        std::error_code statError;
        const fs::file_status status = fs::status(path, statError);
        if (!fs::exists(status)) {
            walk->problems.push_back(SourceProblem{path, false, ""});
            continue;
        }
        const bool folder = fs::is_directory(status);
        const fs::path absolute = plainAbsolute(path);
        listed.push_back(Root{path, realPath(path), "", folder, "", ""});
        listedFolders.push_back(folder ? absolute : absolute.parent_path());
    }
    if (!listed.empty()) {
        const fs::path common = commonFolder(listedFolders);
        for (std::size_t i = 0; i < listed.size(); ++i) {
            listed[i].treeFolder = relativeText(listedFolders[i], common);
            listed[i].tree = common.string();
            roots.push_back(listed[i]);
        }
    }

    std::string output;
    if (!request.outputFolder.empty()) {
        std::error_code outputError;
        output = fs::weakly_canonical(request.outputFolder, outputError).string();
    }
    std::map<std::string, std::size_t> firstByPath;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        firstByPath.emplace(roots[i].real, i);
        if (roots[i].folder && !output.empty()) {
            roots[i].excluded = strictlyBelow(output, roots[i].real);
        }
    }
    for (std::size_t i = 0; i < roots.size(); ++i) {
        if (walkedElsewhere(roots, i, firstByPath)) {
            continue;
        }
        const Root& root = roots[i];
        if (root.folder) {
            walkFolder(root, walk);
        } else {
            const std::string name = fs::path(root.given).filename().string();
            walk->files.push_back(
                SourceFile{root.given, root.tree, root.treeFolder, joined(root.treeFolder, name)});
        }
    }
    return true;
}

std::string problemText(const SourceProblem& problem) {
    return problem.unreadableFolder ? "cannot read folder " + problem.path + ": " + problem.reason
                                    : "no such file or folder: " + problem.path;
}
