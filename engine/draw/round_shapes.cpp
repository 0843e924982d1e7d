// Disc, cone, dome and paraboloid: the circle scan with their height profiles.
#include "shapes.h"
#include "circle_scan.h"
#include "draw_fast.h"
#include "round_profile.h"

using namespace relvane;

RELVANE_PLAIN_KERNEL(draw_disc) { circle_scan(pipe, surface, *material, cx, cy, r, FlatProfile{material->z}); }
RELVANE_PLAIN_KERNEL(draw_cone) {
    circle_scan(pipe, surface, *material, cx, cy, r, ConeProfile::of(material->z, r, h));
}
RELVANE_PLAIN_KERNEL(draw_dome) {
    circle_scan(pipe, surface, *material, cx, cy, r, DomeProfile::of(material->z, r, h));
}
RELVANE_PLAIN_KERNEL(draw_paraboloid) {
    circle_scan(pipe, surface, *material, cx, cy, r, ParaboloidProfile::of(material->z, r, h));
}

extern "C" {

void rv_DrawDisc(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
                 float r) {
    fast::draw_disc(pipe, surface, material, cx, cy, r);
}

void rv_DrawCone(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
                 float r, float h) {
    fast::draw_cone(pipe, surface, material, cx, cy, r, h);
}

void rv_DrawDome(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
                 float r, float h) {
    fast::draw_dome(pipe, surface, material, cx, cy, r, h);
}

void rv_DrawParaboloid(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx,
                       float cy, float r, float h) {
    fast::draw_paraboloid(pipe, surface, material, cx, cy, r, h);
}

}  // extern "C"
