#include "terrain_mapping.h"

#include <cmath>
#include <cstdio>
#include <limits>

void MappingAdd(TerrainMapping *m, const double *e, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        const double v = e[i];
        if (std::isnan(v)) {
            ++m->nodata;
            continue;
        }
        if (m->valid == 0 || v < m->e_min) m->e_min = v;
        if (m->valid == 0 || v > m->e_max) m->e_max = v;
        ++m->valid;
    }
}

void MappingChoose(TerrainMapping *m, double asked, bool fit) {
    m->asked = asked;
    m->z_scale = asked;
    m->lowered = false;
    const double range = m->e_max - m->e_min;
    if (!(range > 0.0)) return;
    if (fit || range * MappingFactor(*m) > 65535.0) {
        m->z_scale = 65535.0 * m->cell / (256.0 * range);
        m->lowered = !fit;
    }
}

uint16_t MappingHeight(const TerrainMapping &m, double factor, double e) {
    if (std::isnan(e)) return 0;
    const double z = (e - m.e_min) * factor;
    if (!(z > 0.0)) return 0;
    if (z >= 65535.0) return 65535;
    return static_cast<uint16_t>(std::lround(z));
}

double MappingElevation(const TerrainMapping &m, uint16_t z) { return z / 256.0 * m.cell / m.z_scale + m.e_min; }

std::string MappingNote(const TerrainMapping &m) {
    char text[160];
    std::snprintf(text, sizeof text, "--z-scale lowered from %.9g to %.9g so that the heights fit in 16 bits",
                  m.asked, m.z_scale);
    return text;
}
