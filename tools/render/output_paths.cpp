#include "output_paths.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <utility>

namespace {

std::string cannot(const char *verb, const std::string &path, const std::string &why) {
    return std::string("cannot ") + verb + " '" + path + "': " + why;
}

int fail(std::string *error, std::string message) {
    *error = std::move(message);
    return 1;
}

// What a file that is neither regular nor a folder is.
const char *special_kind(mode_t mode) {
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Folder and name of a path; the folder is "." for a bare name.
std::pair<std::string, std::string> split(const std::string &path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The identity of a file: device and inode where it exists, else its
// folder's resolved path and its name.
struct Identity {
    bool exists;
    dev_t dev;
    ino_t ino;
    std::string name;
    bool operator<(const Identity &o) const {
        if (exists != o.exists) return exists < o.exists;
        if (exists) return std::pair(dev, ino) < std::pair(o.dev, o.ino);
        return name < o.name;
    }
};

// Resolved folders, as frames share theirs.
struct FolderCache {
    std::map<std::string, std::string> resolved;
    bool resolve(const std::string &folder, std::string *out) {
        auto it = resolved.find(folder);
        if (it == resolved.end()) {
            char buffer[PATH_MAX];
            if (!realpath(folder.c_str(), buffer)) return false;
            it = resolved.emplace(folder, buffer).first;
        }
        *out = it->second;
        return true;
    }
};

int output_identity(const std::string &path, FolderCache *folders, Identity *id, std::string *error) {
    std::string target;
    if (OutputTarget(path, &target, error) != 0) return 1;
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) {
        *id = Identity{true, st.st_dev, st.st_ino, {}};
        return 0;
    }
    const auto [folder, name] = split(target);
    std::string resolved;
    if (!folders->resolve(folder, &resolved)) return fail(error, cannot("write", path, std::strerror(errno)));
    *id = Identity{false, 0, 0, resolved + "/" + name};
    return 0;
}

int input_identity(const std::string &path, Identity *id, std::string *error) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return fail(error, cannot("read", path, std::strerror(errno)));
    if (S_ISDIR(st.st_mode)) return fail(error, cannot("read", path, std::strerror(EISDIR)));
    if (!S_ISREG(st.st_mode))
        return fail(error, cannot("read", path, std::string(special_kind(st.st_mode)) + ", not a regular file"));
    *id = Identity{true, st.st_dev, st.st_ino, {}};
    return 0;
}

}  // namespace

int OutputTarget(const std::string &path, std::string *target, std::string *error) {
    const auto why = [&](const std::string &reason) { return fail(error, cannot("write", path, reason)); };
    struct stat st {};
    if (!path.empty() && path.back() == '/') {
        // A name ending in a slash can only be a folder.
        if (stat(path.c_str(), &st) == 0) return why(std::strerror(S_ISDIR(st.st_mode) ? EISDIR : ENOTDIR));
        return why(std::strerror(errno == ENOENT ? EISDIR : errno));
    }
    *target = path;
    if (lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            char buffer[PATH_MAX];
            if (stat(path.c_str(), &st) != 0)
                return why(errno == ENOENT ? "a symbolic link to a missing file" : std::strerror(errno));
            if (!realpath(path.c_str(), buffer)) return why(std::strerror(errno));
            *target = buffer;
        }
        if (S_ISDIR(st.st_mode)) return why(std::strerror(EISDIR));
        if (!S_ISREG(st.st_mode))
            return why(std::string(special_kind(st.st_mode)) + ", not a regular file (never replaced)");
    } else if (errno != ENOENT) {
        return why(std::strerror(errno));
    }
    const std::string folder = split(*target).first;
    if (stat(folder.c_str(), &st) != 0) return why(std::strerror(errno));
    if (!S_ISDIR(st.st_mode)) return why(std::strerror(ENOTDIR));
    if (access(folder.c_str(), W_OK | X_OK) != 0) return why(std::strerror(errno));
    return 0;
}

std::vector<RunFile> RenderFrameFiles(const RenderOptions &o, int32_t k) {
    const auto name = [k](const std::string &path) { return k > 0 ? RenderFrameName(path, k) : path; };
    std::vector<RunFile> files{{name(o.output), "output", false}};
    if (!o.heightmap.empty()) files.push_back({name(o.heightmap), "--heightmap", false});
    if (!o.colours.empty() && o.terrain.empty()) files.push_back({name(o.colours), "--colours", false});
    return files;
}

int RenderCheckFiles(const RenderOptions &o, std::string *error) {
    std::map<Identity, std::pair<std::string, const char *>> seen;
    const auto add = [&](const Identity &id, const RunFile &f) {
        const auto [it, fresh] = seen.emplace(id, std::pair(f.path, f.role));
        if (fresh) return 0;
        *error = "'" + it->second.first + "' (" + it->second.second + ") and '" + f.path + "' (" + f.role +
                 ") name the same file";
        return 2;
    };
    Identity id{};
    std::vector<RunFile> inputs;
    if (!o.terrain.empty()) inputs.push_back({o.terrain, "--terrain", true});
    if (!o.terrain.empty() && !o.colours.empty()) inputs.push_back({o.colours, "--colours", true});
    if (!o.terrain.empty() && !o.colour_ramp.empty()) inputs.push_back({o.colour_ramp, "--colour-ramp", true});
    for (const RunFile &f : inputs) {
        if (input_identity(f.path, &id, error) != 0) return 1;
        if (const int status = add(id, f)) return status;
    }
    FolderCache folders;
    const int32_t last = o.frames > 0 ? o.frames : 0;
    for (int32_t k = o.frames > 0 ? 1 : 0; k <= last; ++k) {
        for (const RunFile &f : RenderFrameFiles(o, k)) {
            if (output_identity(f.path, &folders, &id, error) != 0) return 1;
            if (const int status = add(id, f)) return status;
        }
    }
    return 0;
}
