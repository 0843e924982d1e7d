#include "colour_ramp.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The line's fields, split at spaces, tabs, commas and colons.
std::vector<std::string> fields(const std::string &line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::strchr(" \t,:\r", line[i])) ++i;
        size_t j = i;
        while (j < line.size() && !std::strchr(" \t,:\r", line[j])) ++j;
        if (j > i) out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
}

bool number(const std::string &text, double *out) {
    char *end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

bool channel(const std::string &text, uint8_t *out) {
    double v;
    if (!number(text, &v) || v < 0 || v > 255 || v != std::floor(v)) return false;
    *out = static_cast<uint8_t>(v);
    return true;
}

// One entry from a line's fields; false when it is malformed.
bool entry(const std::vector<std::string> &f, ColourRamp *ramp) {
    if (f.size() != 4 && f.size() != 5) return false;
    uint8_t rgb[3], alpha = 255;
    for (int k = 0; k < 3; ++k)
        if (!channel(f[1 + k], &rgb[k])) return false;
    if (f.size() == 5 && !channel(f[4], &alpha)) return false;
    std::string e = f[0];
    if (e == "nv") {
        ramp->has_nodata = true;
        std::memcpy(ramp->nodata, rgb, 3);
        return true;
    }
    ColourRamp::Entry out{};
    out.percent = !e.empty() && e.back() == '%';
    if (out.percent) e.pop_back();
    if (!number(e, &out.elevation)) return false;
    std::memcpy(out.rgb, rgb, 3);
    ramp->entries.push_back(out);
    return true;
}

uint8_t mix(uint8_t a, uint8_t b, double t) {
    const double v = a + t * (b - a);
    return static_cast<uint8_t>(std::clamp(std::floor(v + 0.5), 0.0, 255.0));
}

}  // namespace

int RampRead(ColourRamp *ramp, const std::string &path, std::string *error) {
    ramp->path = path;
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = "cannot read '" + path + "': " + std::strerror(errno);
        return 1;
    }
    std::string line;
    int number_of_line = 0;
    int status = 0;
    for (int c = 0; status == 0;) {
        line.clear();
        while ((c = std::fgetc(file)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
        if (c == EOF && line.empty()) break;
        ++number_of_line;
        const std::vector<std::string> f = fields(line);
        if (f.empty() || f[0][0] == '#') continue;
        if (!entry(f, ramp)) {
            *error = "--colour-ramp: '" + path + "' line " + std::to_string(number_of_line) +
                     ": expected 'elevation red green blue [alpha]' (0 to 255), 'N% ...' or 'nv ...'";
            status = 2;
        }
    }
    if (status == 0 && std::ferror(file)) {
        *error = "cannot read '" + path + "': " + std::strerror(errno);
        status = 1;
    }
    std::fclose(file);
    if (status == 0 && ramp->entries.empty()) {
        *error = "--colour-ramp: '" + path + "' has no elevation entries";
        status = 2;
    }
    return status;
}

void RampResolve(ColourRamp *ramp, double lo, double hi) {
    for (ColourRamp::Entry &e : ramp->entries)
        if (e.percent) e.elevation = lo + e.elevation / 100.0 * (hi - lo), e.percent = false;
    std::stable_sort(ramp->entries.begin(), ramp->entries.end(),
                     [](const ColourRamp::Entry &a, const ColourRamp::Entry &b) { return a.elevation < b.elevation; });
}

void RampColour(const ColourRamp &ramp, double e, uint8_t *rgb) {
    if (std::isnan(e)) {
        std::memcpy(rgb, ramp.nodata, 3);
        return;
    }
    const std::vector<ColourRamp::Entry> &v = ramp.entries;
    // The first entry above e; e at or below the first, or above the last,
    // takes the end's colour.
    const auto above = std::upper_bound(v.begin(), v.end(), e,
                                        [](double x, const ColourRamp::Entry &a) { return x < a.elevation; });
    if (above == v.begin() || above == v.end()) {
        std::memcpy(rgb, above == v.begin() ? v.front().rgb : v.back().rgb, 3);
        return;
    }
    const ColourRamp::Entry &a = *(above - 1), &b = *above;
    const double t = (e - a.elevation) / (b.elevation - a.elevation);
    for (int k = 0; k < 3; ++k) rgb[k] = mix(a.rgb[k], b.rgb[k], t);
}
