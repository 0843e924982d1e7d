// Alpha and light stages: the sources that fill the work span and the writes
// that combine it into the destination.
#include "stage_frame.h"
#include "stage_steps.h"
#include "stages_fast.h"
#include "../core/fast_path.h"

namespace relvane {
namespace {

enum class From { Param, Src, Dst };

// Work field from the pipe's parameter, alone or scaling the source's or
// the destination's field.
template <auto Field, int32_t rv_Pipe::*Param, From F>
void source(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    const uint32_t param = static_cast<uint32_t>(pipe->*Param);
    each_pixel(pipe, index, src, dst, count,
               [param](rv_Pixel &w, const rv_Pixel &s, const rv_Pixel &d) {
                   if constexpr (F == From::Param) take_param<Field>(w, param);
                   else take_scaled<Field>(w, F == From::Src ? s : d, param);
               });
}

template <auto Field, Combine Op>
void write(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    each_pixel(pipe, index, src, dst, count,
               [](const rv_Pixel &w, const rv_Pixel &, rv_Pixel &d) { write_field<Field, Op>(w, d); });
}

constexpr auto kAlpha = &rv_Pixel::alpha;
constexpr auto kLight = &rv_Pixel::light;

}  // namespace
}  // namespace relvane

using namespace relvane;

RELVANE_PLAIN_KERNEL(stage_AlphaConst) { source<kAlpha, &rv_Pipe::alpha, From::Param>(p, i, s, d, n); }
RELVANE_PLAIN_KERNEL(stage_LightConst) { source<kLight, &rv_Pipe::light, From::Param>(p, i, s, d, n); }

extern "C" {

void rv_StageAlphaConst(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    fast::stage_AlphaConst(p, i, s, d, n);
}
void rv_StageAlphaSrc(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    source<kAlpha, &rv_Pipe::alpha, From::Src>(p, i, s, d, n);
}
void rv_StageAlphaDst(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    source<kAlpha, &rv_Pipe::alpha, From::Dst>(p, i, s, d, n);
}

void rv_StageLightConst(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    fast::stage_LightConst(p, i, s, d, n);
}
void rv_StageLightSrc(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    source<kLight, &rv_Pipe::light, From::Src>(p, i, s, d, n);
}
void rv_StageLightDst(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    source<kLight, &rv_Pipe::light, From::Dst>(p, i, s, d, n);
}

void rv_StageAlphaWriteSet(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    write<kAlpha, combine_set>(p, i, s, d, n);
}
void rv_StageAlphaWriteAdd(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    write<kAlpha, combine_add<255>>(p, i, s, d, n);
}
void rv_StageAlphaWriteSub(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    write<kAlpha, combine_sub>(p, i, s, d, n);
}
void rv_StageAlphaWriteMul(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    write<kAlpha, combine_mul<8>>(p, i, s, d, n);
}

void rv_StageLightWriteSet(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    write<kLight, combine_set>(p, i, s, d, n);
}
void rv_StageLightWriteAdd(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    write<kLight, combine_add<65535>>(p, i, s, d, n);
}
void rv_StageLightWriteSub(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    write<kLight, combine_sub>(p, i, s, d, n);
}
// Low 16 bits, no saturation.
void rv_StageLightWriteMul(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    write<kLight, combine_mul<8>>(p, i, s, d, n);
}
// Never above 65279, so nothing is cut.
void rv_StageLightWriteBlend(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    write<kLight, combine_blend>(p, i, s, d, n);
}

}  // extern "C"
