// libpng decoding. libpng reports errors by longjmp, so every call into it
// sits in a function whose frame holds nothing with a destructor, and the
// messages are put into strings afterwards.
#include "png_read.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>

namespace {

// State shared with the callbacks, kept in the reader's png_struct.
struct Source {
    FILE *file;
    int err;            // errno of a failed read, or 0
    bool rows_begun;    // a warning from here on is a damaged image
    char message[200];  // libpng's text, or ours
};

void on_read(png_structp png, png_bytep data, size_t size) {
    auto *s = static_cast<Source *>(png_get_io_ptr(png));
    if (std::fread(data, 1, size, s->file) == size) return;
    if (std::ferror(s->file)) {
        s->err = errno != 0 ? errno : EIO;
        png_error(png, "read failed");
    }
    png_error(png, "the file ends early");
}

void on_error(png_structp png, png_const_charp message) {
    auto *s = static_cast<Source *>(png_get_error_ptr(png));
    if (s->message[0] == '\0') std::snprintf(s->message, sizeof s->message, "%s", message);
    png_longjmp(png, 1);
}

// Warnings about ancillary chunks (colour profiles, text) are no concern of
// ours; once the rows are being read, any warning means the image data is
// damaged and the row may be incomplete.
void on_warning(png_structp png, png_const_charp message) {
    auto *s = static_cast<Source *>(png_get_error_ptr(png));
    if (s->rows_begun) on_error(png, message);
}

png_structp png_of(const PngReader *r) { return static_cast<png_structp>(r->png); }
png_infop info_of(const PngReader *r) { return static_cast<png_infop>(r->info); }
Source *source_of(const PngReader *r) { return static_cast<Source *>(png_get_io_ptr(png_of(r))); }

bool read_header(png_structp png, png_infop info, PngReader *r) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, type = 0, interlace = 0;
    png_get_IHDR(png, info, &w, &h, &depth, &type, &interlace, nullptr, nullptr);
    r->width = static_cast<int32_t>(w);  // libpng holds sides to 2^31 - 1
    r->height = static_cast<int32_t>(h);
    r->depth = depth;
    r->colour_type = type;
    r->interlaced = interlace != PNG_INTERLACE_NONE;
    return true;
}

bool read_row(png_structp png, uint8_t *row) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_row(png, row, nullptr);
    return true;
}

bool read_end(png_structp png) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_end(png, nullptr);
    return true;
}

bool set_rgb(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    return true;
}

int damaged(const PngReader *r, std::string *error) {
    const Source *s = source_of(r);
    if (s->err != 0) {
        *error = "cannot read '" + r->path + "': " + std::strerror(s->err);
        return 1;
    }
    *error = "'" + r->path + "' is not a whole PNG file: " + s->message;
    return 2;
}

}  // namespace

int PngReadOpen(PngReader *r, const std::string &path, std::string *error) {
    r->path = path;
    r->file = std::fopen(path.c_str(), "rb");
    if (!r->file) {
        *error = "cannot read '" + path + "': " + std::strerror(errno);
        return 1;
    }
    png_byte signature[8];
    const size_t got = std::fread(signature, 1, sizeof signature, r->file);
    if (got < sizeof signature && std::ferror(r->file)) {
        *error = "cannot read '" + path + "': " + std::strerror(errno);
        return 1;
    }
    if (got < sizeof signature || png_sig_cmp(signature, 0, sizeof signature) != 0) {
        *error = "'" + path + "' is not a PNG file";
        return 2;
    }
    auto *source = new Source{r->file, 0, false, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, source, on_error, on_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        if (png) png_destroy_read_struct(&png, nullptr, nullptr);
        delete source;
        *error = "out of memory reading '" + path + "'";
        return 1;
    }
    png_set_read_fn(png, source, on_read);
    // Sizes are judged by the caller, who can say what the surfaces hold.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    r->png = png;
    r->info = info;
    if (!read_header(png, info, r)) return damaged(r, error);
    return 0;
}

std::string PngKind(const PngReader &r) {
    const char *type = "unknown";
    switch (r.colour_type) {
    case PNG_COLOR_TYPE_GRAY: type = "greyscale"; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: type = "greyscale with alpha"; break;
    case PNG_COLOR_TYPE_RGB: type = "RGB"; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: type = "RGBA"; break;
    case PNG_COLOR_TYPE_PALETTE: type = "palette"; break;
    default: break;
    }
    const std::string kind = std::string(r.interlaced ? "interlaced " : "") + std::to_string(r.depth) + "-bit " +
                             type + " PNG";
    return (kind[0] == 'i' || kind[0] == '8' ? "an " : "a ") + kind;
}

void PngReadAsRgb(PngReader *r) { set_rgb(png_of(r), info_of(r)); }

int PngReadRow(PngReader *r, uint8_t *row, std::string *error) {
    source_of(r)->rows_begun = true;
    if (!read_row(png_of(r), row)) return damaged(r, error);
    return 0;
}

int PngReadEnd(PngReader *r, std::string *error) {
    if (!read_end(png_of(r))) return damaged(r, error);
    return 0;
}

void PngReadClose(PngReader *r) {
    if (r->png) {
        png_structp png = png_of(r);
        png_infop info = info_of(r);
        delete source_of(r);
        png_destroy_read_struct(&png, &info, nullptr);
    }
    if (r->file) std::fclose(r->file);
    r->png = r->info = nullptr;
    r->file = nullptr;
}
