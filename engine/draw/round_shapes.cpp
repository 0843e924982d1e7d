// Disc, cone, dome and paraboloid: the circle scan with their height profiles.
#include "shapes.h"
#include "circle_scan.h"
#include "draw_fast.h"
#include "round_profile.h"

using namespace relvane;

extern "C" {

void rv_DrawDisc(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
                 float r) {
    if (fast::draw_disc(pipe, surface, material, cx, cy, r)) return;
    circle_scan(pipe, surface, *material, cx, cy, r, FlatProfile{material->z});
}

void rv_DrawCone(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
                 float r, float h) {
    if (fast::draw_cone(pipe, surface, material, cx, cy, r, h)) return;
    circle_scan(pipe, surface, *material, cx, cy, r, ConeProfile::of(material->z, r, h));
}

void rv_DrawDome(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx, float cy,
                 float r, float h) {
    if (fast::draw_dome(pipe, surface, material, cx, cy, r, h)) return;
    circle_scan(pipe, surface, *material, cx, cy, r, DomeProfile::of(material->z, r, h));
}

void rv_DrawParaboloid(rv_Pipe *pipe, rv_Surface *surface, const rv_Pixel *material, float cx,
                       float cy, float r, float h) {
    if (fast::draw_paraboloid(pipe, surface, material, cx, cy, r, h)) return;
    circle_scan(pipe, surface, *material, cx, cy, r, ParaboloidProfile::of(material->z, r, h));
}

}  // extern "C"
