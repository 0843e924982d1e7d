// Alpha and light stages: the sources that fill the work span and the writes
// that combine it into the destination.
#include "stage_frame.h"
#include "stages_fast.h"
#include "../core/fast_path.h"

namespace relvane {
namespace {

enum class From { Param, Src, Dst };

// Work field = the pipe's parameter, or the source's or destination's field
// scaled by it (>> 8), keeping the low bits. The parameter is taken as its
// 32-bit pattern and the product wraps modulo 2^32; the stored low bits are
// the same as signed arithmetic would give.
template <auto Field, int32_t rv_Pipe::*Param, From F>
void source(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    const uint32_t param = static_cast<uint32_t>(pipe->*Param);
    each_pixel(pipe, index, src, dst, count,
               [param](rv_Pixel &w, const rv_Pixel &s, const rv_Pixel &d) {
                   if constexpr (F == From::Param) {
                       store<Field>(w, param);
                   } else {
                       const rv_Pixel &from = F == From::Src ? s : d;
                       store<Field>(w, (static_cast<uint32_t>(from.*Field) * param) >> 8);
                   }
               });
}

// Destination field = Op(destination field, work field, work alpha), low bits.
template <auto Field, Combine Op>
void write(rv_Pipe *pipe, int32_t index, const rv_Pixel *src, rv_Pixel *dst, int32_t count) {
    each_pixel(pipe, index, src, dst, count, [](rv_Pixel &w, const rv_Pixel &, rv_Pixel &d) {
        store<Field>(d, Op(d.*Field, w.*Field, w.alpha));
    });
}

constexpr auto kAlpha = &rv_Pixel::alpha;
constexpr auto kLight = &rv_Pixel::light;

}  // namespace
}  // namespace relvane

using namespace relvane;

extern "C" {

void rv_StageAlphaConst(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    if (fast::stage_alpha_const(p, i, s, d, n)) return;
    source<kAlpha, &rv_Pipe::alpha, From::Param>(p, i, s, d, n);
}
void rv_StageAlphaSrc(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    source<kAlpha, &rv_Pipe::alpha, From::Src>(p, i, s, d, n);
}
void rv_StageAlphaDst(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    source<kAlpha, &rv_Pipe::alpha, From::Dst>(p, i, s, d, n);
}

void rv_StageLightConst(rv_Pipe *p, int32_t i, const rv_Pixel *s, rv_Pixel *d, int32_t n) {
    if (fast::stage_light_const(p, i, s, d, n)) return;
    source<kLight, &rv_Pipe::light, From::Param>(p, i, s, d, n);
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
