// Command line: glued -w/-h/-t values, --name=value options, one output.
#include "render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char *const kModes[] = {"colour", "profiles", "height", "light"};

// A whole decimal number in lo..hi, nothing before or after it.
bool read_int(const char *text, int32_t lo, int32_t hi, int32_t *out) {
    if (!(*text == '-' || *text == '+' || (*text >= '0' && *text <= '9'))) return false;
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || v < lo || v > hi) return false;
    *out = static_cast<int32_t>(v);
    return true;
}

// A finite number in lo..hi (infinite bounds allowed), nothing around it.
bool read_real(const char *text, double lo, double hi, double *out) {
    if (*text == '\0' || std::strchr(" \t\n\v\f\r", *text)) return false;
    char *end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(v) || v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool read_float(const char *text, double lo, double hi, float *out) {
    double v;
    if (!read_real(text, lo, hi, &v)) return false;
    *out = static_cast<float>(v);
    return true;
}

bool read_mode(const char *text, int32_t *out) {
    for (int32_t i = 0; i < 4; ++i)
        if (std::strcmp(text, kModes[i]) == 0) return *out = i, true;
    return false;
}

// A --name=value option: its name, its range as shown in messages, and the
// reader that stores it.
struct LongOption {
    const char *name;
    const char *range;
    bool (*read)(RenderOptions *, const char *);
};

#define RV_REAL(field, lo, hi) [](RenderOptions *o, const char *t) { return read_float(t, lo, hi, &o->field); }
#define RV_INT(field, lo, hi) [](RenderOptions *o, const char *t) { return read_int(t, lo, hi, &o->field); }

const LongOption kLongOptions[] = {
    {"phase", "a finite number", [](RenderOptions *o, const char *t) {
         return read_real(t, -HUGE_VAL, HUGE_VAL, &o->phase); }},
    {"roughness", "0 to 2", RV_REAL(roughness, 0.0, 2.0)},
    {"amplitude", "0 to 256", RV_REAL(amplitude, 0.0, 256.0)},
    {"base", "0 to 256", RV_REAL(base, 0.0, 256.0)},
    {"water", "0 to 255", RV_REAL(water, 0.0, 255.0)},
    {"haze", "0 to 256", RV_REAL(haze, 0.0, 256.0)},
    {"light", "0 to 90", RV_REAL(light, 0.0, 90.0)},
    {"view", "0 to 90", RV_REAL(view, 0.0, 90.0)},
    {"mode", "colour, profiles, height or light", [](RenderOptions *o, const char *t) {
         return read_mode(t, &o->mode); }},
    {"scale", "a whole number 2 to 256", RV_INT(scale, 2, 256)},
    {"heightmap", "a file name", [](RenderOptions *o, const char *t) { return o->heightmap = t, true; }},
    {"terrain", "a file name", [](RenderOptions *o, const char *t) { return o->terrain = t, true; }},
    {"colours", "a file name", [](RenderOptions *o, const char *t) { return o->colours = t, true; }},
    {"colour-ramp", "a file name", [](RenderOptions *o, const char *t) { return o->colour_ramp = t, true; }},
    {"z-scale", "a finite number above 0", [](RenderOptions *o, const char *t) {
         return read_real(t, 0.0, HUGE_VAL, &o->z_scale) && o->z_scale > 0.0; }},
    {"band", "a whole number 1 to 65536", RV_INT(band, 1, 65536)},
    {"threads", "a whole number 0 to 1024", RV_INT(threads, 0, 1024)},
    {"frames", "a whole number 1 to 99999", RV_INT(frames, 1, 99999)},
    {"fps", "1 to 1000", [](RenderOptions *o, const char *t) {
         return read_real(t, 1.0, 1000.0, &o->fps); }},
};

#undef RV_REAL
#undef RV_INT

// Switches that take no value.
struct Flag {
    const char *name;
    bool RenderOptions::*field;
    bool value;
};

const Flag kFlags[] = {
    {"--no-shapes", &RenderOptions::shapes, false},
    {"--no-slopes", &RenderOptions::slopes, false},
    {"--no-shadows", &RenderOptions::shadows, false},
    {"--fit", &RenderOptions::fit, true},
    {"--help", &RenderOptions::help, true},
};

int bad(std::string *error, std::string message) {
    *error = std::move(message);
    return -1;
}

// Notes an option that shapes the built landscape, for the warning that
// --terrain makes it idle.
void note_landscape_option(RenderOptions *o, const std::string &name) {
    static const char *const names[] = {"-t", "--phase", "--roughness", "--amplitude", "--base", "--no-shapes"};
    for (const char *n : names) {
        if (name != n || (", " + o->unused_with_terrain + ",").find(", " + name + ",") != std::string::npos) continue;
        o->unused_with_terrain += (o->unused_with_terrain.empty() ? "" : ", ") + name;
    }
}

// -wN, -hN, -tN.
int read_short(RenderOptions *o, const char *arg, std::string *error) {
    struct Short {
        char letter;
        int32_t hi;
        int32_t RenderOptions::*field;
        const char *range;
    };
    static const Short shorts[] = {
        {'w', 16384, &RenderOptions::width, "1 to 16384"},
        {'h', 16384, &RenderOptions::height, "1 to 16384"},
        {'t', 65536, &RenderOptions::tile_size, "1 to 65536"},
    };
    for (const Short &s : shorts) {
        if (arg[1] != s.letter) continue;
        const std::string name = std::string("-") + s.letter;
        if (arg[2] == '\0') return bad(error, name + " needs a value glued on, e.g. " + name + "256");
        if (!read_int(arg + 2, 1, s.hi, &(o->*s.field)))
            return bad(error, name + ": '" + (arg + 2) + "' is not a whole number " + s.range);
        if (s.letter == 'w') o->width_given = true;
        if (s.letter == 'h') o->height_given = true;
        note_landscape_option(o, name);
        return 0;
    }
    return bad(error, std::string("unknown option '") + arg + "'");
}

int read_long(RenderOptions *o, const char *arg, std::string *error) {
    for (const Flag &f : kFlags) {
        if (std::strcmp(arg, f.name) == 0) return note_landscape_option(o, f.name), o->*f.field = f.value, 0;
        const size_t n = std::strlen(f.name);
        if (std::strncmp(arg, f.name, n) == 0 && arg[n] == '=')
            return bad(error, std::string(f.name) + " takes no value");
    }
    const char *eq = std::strchr(arg, '=');
    const std::string name(arg + 2, eq ? static_cast<size_t>(eq - arg - 2) : std::strlen(arg + 2));
    for (const LongOption &l : kLongOptions) {
        if (name != l.name) continue;
        if (!eq) return bad(error, "--" + name + " needs a value: --" + name + "=VALUE");
        if (eq[1] == '\0') return bad(error, "empty value for --" + name);
        note_landscape_option(o, "--" + name);
        if (!l.read(o, eq + 1))
            return bad(error, "--" + name + ": '" + (eq + 1) + "' is not " + l.range);
        return 0;
    }
    return bad(error, "unknown option '" + std::string(arg) + "'");
}

}  // namespace

int RenderReadArgs(RenderOptions *o, int argc, char **argv, std::string *error) {
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        int status = 0;
        if (arg[0] == '\0') return bad(error, "empty output name");
        if (options_end || arg[0] != '-' || arg[1] == '\0') {
            if (!o->output.empty()) return bad(error, "more than one output name ('" + o->output + "', '" + arg + "')");
            o->output = arg;
        } else if (std::strcmp(arg, "--") == 0) {
            options_end = true;
        } else if (arg[1] == '-') {
            status = read_long(o, arg, error);
        } else {
            status = read_short(o, arg, error);
        }
        if (status != 0) return status;
    }
    if (o->help) return 0;
    if (o->output.empty()) return bad(error, "missing output name");
    return 0;
}

std::string RenderFrameName(const std::string &path, int32_t k) {
    const size_t n = path.size();
    const bool png = n >= 4 && path.compare(n - 4, 4, ".png") == 0;
    char number[16];
    std::snprintf(number, sizeof number, "-%04d.png", k);
    return (png ? path.substr(0, n - 4) : path) + number;
}

const char *RenderUsage() { return "usage: relvane-render [OPTION...] OUTPUT.png"; }

const char *RenderHelp() {
    return "usage: relvane-render [OPTION...] OUTPUT.png\n"
           "Renders the landscape of the test program to a PNG file.\n"
           "  -wN -hN              picture size, 1..16384 (640 x 480)\n"
           "  -tN                  grid step of the terrain's first level, 1..65536 (128)\n"
           "  --phase=P            morph phase in seconds (0.8)\n"
           "  --roughness=R        terrain roughness, 0..2 (0.42)\n"
           "  --amplitude=A        terrain amplitude, 0..256 (220)\n"
           "  --base=B             terrain base height, 0..256 (60)\n"
           "  --water=L            water level, 0..255 (0)\n"
           "  --haze=H             haze density, 0..256; 0 is off (140)\n"
           "  --light=DEG          light elevation, 0..90 (45)\n"
           "  --view=DEG           view angle, 0..90; 90 looks straight down (90)\n"
           "  --mode=MODE          colour, profiles, height or light (colour)\n"
           "  --scale=N            profile band / height scale, 2..256 (64)\n"
           "  --no-shapes --no-slopes --no-shadows\n"
           "                       leave those parts out\n"
           "  --heightmap=FILE.png also write the height field as a 16-bit grey PNG, or as\n"
           "                       FILE.tif a float32 GeoTIFF of the elevations\n"
           "  --terrain=FILE       read the heights from an 8- or 16-bit grey PNG, or any\n"
           "                       raster GDAL reads (GeoTIFF, .hgt, ASCII grid ...) in\n"
           "                       metres, instead of building the landscape; the\n"
           "                       picture is one smaller\n"
           "  --colours=FILE.png   with --terrain: read the colours from an 8-bit RGB, RGBA,\n"
           "                       grey or palette PNG (or a 3- or 4-band 8-bit raster);\n"
           "                       without: write the landscape's colours\n"
           "  --z-scale=F          vertical exaggeration of a given terrain, above 0 (1)\n"
           "  --fit                stretch the terrain's lowest..highest onto all 16 bits\n"
           "  --band=N             the raster band holding the heights, from 1\n"
           "  --colour-ramp=FILE   with --terrain: colour by elevation from a colour-relief\n"
           "                       file (elevation red green blue, nv, N%)\n"
           "  --frames=N           write N animated frames OUTPUT-0001.png ..., 1..99999\n"
           "  --fps=F              frame rate of the animation, 1..1000 (30)\n"
           "  --threads=N          threads to render with, 0..1024; 0 is one per processor (0)\n";
}
