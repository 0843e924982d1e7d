// libpng encoding into temporaries that are renamed into place.
#include "png_file.h"

#include <png.h>
#include <zlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "interrupt_cleanup.h"
#include "output_paths.h"

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace {

std::string reason(const std::string &path, int err) {
    return "cannot write '" + path + "': " + std::strerror(err);
}

// The mode a newly created file gets: 0666 less the process's umask.
mode_t new_file_mode() {
    static const mode_t mode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

// State shared with libpng's callbacks; plain data, since libpng unwinds
// by longjmp.
struct Sink {
    FILE *file;
    int err;              // errno of a failed write, or 0
    char message[256];    // libpng's own error text
};

void on_write(png_structp png, png_bytep data, size_t size) {
    auto *sink = static_cast<Sink *>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, size, sink->file) != size) {
        sink->err = errno != 0 ? errno : EIO;
        png_error(png, "write failed");
    }
}

void on_flush(png_structp) {}

void on_error(png_structp png, png_const_charp message) {
    auto *sink = static_cast<Sink *>(png_get_error_ptr(png));
    std::snprintf(sink->message, sizeof sink->message, "%s", message);
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

// The encoder proper; false on failure, with sink filled in. No object with
// a destructor lives in this frame, as libpng leaves it by longjmp.
bool encode(Sink *sink, const PngPicture *p, uint8_t *row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, sink, on_error, on_warning);
    if (!png) return std::snprintf(sink->message, sizeof sink->message, "out of memory"), false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return std::snprintf(sink->message, sizeof sink->message, "out of memory"), false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, sink, on_write, on_flush);
    // Speed over size: Huffman coding without match search costs about 60 %
    // of zlib's fastest level, and behind the "average" filter it packs the
    // smooth terrain and its heights about as tightly.
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_HUFFMAN_ONLY);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_AVG);
    png_set_IHDR(png, info, static_cast<png_uint_32>(p->width), static_cast<png_uint_32>(p->height),
                 p->grey16 ? 16 : 8, p->grey16 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    for (int32_t y = 0; y < p->height; ++y) {
        p->fill_row(p->source, y, row);
        png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

size_t PngRowBytes(int32_t width, bool grey16) {
    return static_cast<size_t>(width) * (grey16 ? 2u : 3u);
}

int PendingOpen(PendingFile *f, const std::string &path, std::string *error) {
    f->path = path;
    if (OutputTarget(path, &f->target, error) != 0) return -1;
    // A short fixed name, so that any name the folder takes as the output
    // leaves room for it.
    const size_t slash = f->target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : f->target.substr(0, slash + 1);
    std::vector<char> temp(dir.begin(), dir.end());
    const char tail[] = ".relvane-XXXXXX";
    temp.insert(temp.end(), tail, tail + sizeof tail);
    struct stat existing {};
    const mode_t mode = stat(f->target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : new_file_mode();
    CleanupBlock();
    const int fd = mkstemp(temp.data());
    const int err = errno;
    if (fd >= 0) {
        f->slot = CleanupHold(temp.data());
        if (f->slot < 0) {
            unlink(temp.data());
            close(fd);
        }
    }
    CleanupUnblock();
    if (fd < 0 || f->slot < 0) {
        *error = reason(path, fd < 0 ? err : ENAMETOOLONG);
        return -1;
    }
    f->temp = temp.data();
    f->file = fdopen(fd, "wb");
    if (!f->file || fchmod(fd, mode) != 0) {
        *error = reason(path, errno);
        if (!f->file) close(fd);
        PendingDiscard(f);
        return -1;
    }
    return 0;
}

int PendingWritePng(PendingFile *f, const PngPicture &picture, uint8_t *row,
                       std::string *error) {
    Sink sink{f->file, 0, {}};
    errno = 0;
    const bool encoded = encode(&sink, &picture, row);
    int err = sink.err;
    if (encoded && std::fflush(f->file) != 0) err = errno;
    if (std::fclose(f->file) != 0 && err == 0 && encoded) err = errno;
    f->file = nullptr;
    if (encoded && err == 0) return 0;
    *error = err != 0 ? reason(f->path, err)
                      : "cannot write '" + f->path + "': PNG encoding failed: " + sink.message;
    return -1;
}

int PendingCommit(PendingFile *f, std::string *error) {
    if (std::rename(f->temp.c_str(), f->target.c_str()) != 0) {
        *error = reason(f->path, errno);
        return -1;
    }
    CleanupDrop(f->slot);
    f->slot = -1;
    f->temp.clear();
    return 0;
}

void PendingDiscard(PendingFile *f) {
    if (f->file) std::fclose(f->file);
    f->file = nullptr;
    if (!f->temp.empty()) unlink(f->temp.c_str());
    CleanupDrop(f->slot);
    f->slot = -1;
    f->temp.clear();
}
