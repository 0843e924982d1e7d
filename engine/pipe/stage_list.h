/* The pipe's stages, listed once, in chain order. Everything else about them
 * comes from this list: pipe.h declares rv_Stage<Name> from it, and the
 * engine derives its enumeration, the assembly's tables, its vector forms'
 * entries and the chains it runs in one pass.
 *
 * RV_PIPE_STAGE_LIST(X) calls X(Name, field, first, last, path) per stage:
 *   Name         the stage is the function rv_Stage<Name>;
 *   field        the flag field that selects it (a mask of the flag word);
 *   first, last  the stage is chosen while first <= (flags & field) <= last;
 *   path         FAST when the engine has a vector form of it, else PLAIN.
 * The assembly takes the fields in the order their first stage has here and
 * appends the stage each one's value selects; a value no entry covers adds
 * nothing, except in the colour source, where it fails the assembly. */
#ifndef RELVANE_PIPE_STAGE_LIST_H
#define RELVANE_PIPE_STAGE_LIST_H

#define RV_PIPE_STAGE_LIST(X)                                                                      \
    /* Height operations: new z into the work span. */                                             \
    X(ZSet, RV_PIPE_Z_MASK, RV_PIPE_Z_SET, RV_PIPE_Z_SET, FAST)                                    \
    X(ZAdd, RV_PIPE_Z_MASK, RV_PIPE_Z_ADD, RV_PIPE_Z_ADD, PLAIN)                                   \
    X(ZSub, RV_PIPE_Z_MASK, RV_PIPE_Z_SUB, RV_PIPE_Z_SUB, PLAIN)                                   \
    X(ZMul, RV_PIPE_Z_MASK, RV_PIPE_Z_MUL, RV_PIPE_Z_MUL, PLAIN)                                   \
    /* Height tests: run the rest of the chain on each sub-run that passes. */                     \
    X(ZTestAbove, RV_PIPE_ZTEST_MASK, RV_PIPE_ZTEST_ABOVE, RV_PIPE_ZTEST_ABOVE, FAST)              \
    X(ZTestBelow, RV_PIPE_ZTEST_MASK, RV_PIPE_ZTEST_BELOW, RV_PIPE_ZTEST_BELOW, FAST)              \
    /* Colour fetch: source colour into the work span. */                                          \
    X(ColourFetch, RV_PIPE_COLOUR_MASK, RV_PIPE_COLOUR_SRC, RV_PIPE_COLOUR_SRC, FAST)              \
    /* Alpha sources: the blend weight into the work span. */                                      \
    X(AlphaConst, RV_PIPE_ALPHA_MASK, RV_PIPE_ALPHA_CONST, RV_PIPE_ALPHA_CONST, FAST)              \
    X(AlphaSrc, RV_PIPE_ALPHA_MASK, RV_PIPE_ALPHA_SRC, RV_PIPE_ALPHA_SRC, PLAIN)                   \
    X(AlphaDst, RV_PIPE_ALPHA_MASK, RV_PIPE_ALPHA_DST, RV_PIPE_ALPHA_DST, PLAIN)                   \
    /* Light sources: the light into the work span. */                                             \
    X(LightConst, RV_PIPE_LIGHT_MASK, RV_PIPE_LIGHT_CONST, RV_PIPE_LIGHT_CONST, FAST)              \
    X(LightSrc, RV_PIPE_LIGHT_MASK, RV_PIPE_LIGHT_SRC, RV_PIPE_LIGHT_SRC, PLAIN)                   \
    X(LightDst, RV_PIPE_LIGHT_MASK, RV_PIPE_LIGHT_DST, RV_PIPE_LIGHT_DST, PLAIN)                   \
    /* Colour writes: blend RGB, or one or two channels (masked). */                               \
    X(ColourWrite, RV_PIPE_WRITE_RGB, RV_PIPE_WRITE_RGB, RV_PIPE_WRITE_RGB, FAST)                  \
    X(ColourWriteMasked, RV_PIPE_WRITE_RGB, RV_PIPE_WRITE_RED,                                     \
      RV_PIPE_WRITE_GREEN | RV_PIPE_WRITE_BLUE, PLAIN)                                             \
    /* Alpha writes into the destination. */                                                       \
    X(AlphaWriteSet, RV_PIPE_ALPHA_WRITE_MASK, RV_PIPE_ALPHA_WRITE_SET, RV_PIPE_ALPHA_WRITE_SET,   \
      PLAIN)                                                                                       \
    X(AlphaWriteAdd, RV_PIPE_ALPHA_WRITE_MASK, RV_PIPE_ALPHA_WRITE_ADD, RV_PIPE_ALPHA_WRITE_ADD,   \
      PLAIN)                                                                                       \
    X(AlphaWriteSub, RV_PIPE_ALPHA_WRITE_MASK, RV_PIPE_ALPHA_WRITE_SUB, RV_PIPE_ALPHA_WRITE_SUB,   \
      PLAIN)                                                                                       \
    X(AlphaWriteMul, RV_PIPE_ALPHA_WRITE_MASK, RV_PIPE_ALPHA_WRITE_MUL, RV_PIPE_ALPHA_WRITE_MUL,   \
      PLAIN)                                                                                       \
    /* Light writes into the destination. */                                                       \
    X(LightWriteSet, RV_PIPE_LIGHT_WRITE_MASK, RV_PIPE_LIGHT_WRITE_SET, RV_PIPE_LIGHT_WRITE_SET,   \
      PLAIN)                                                                                       \
    X(LightWriteAdd, RV_PIPE_LIGHT_WRITE_MASK, RV_PIPE_LIGHT_WRITE_ADD, RV_PIPE_LIGHT_WRITE_ADD,   \
      PLAIN)                                                                                       \
    X(LightWriteSub, RV_PIPE_LIGHT_WRITE_MASK, RV_PIPE_LIGHT_WRITE_SUB, RV_PIPE_LIGHT_WRITE_SUB,   \
      PLAIN)                                                                                       \
    X(LightWriteMul, RV_PIPE_LIGHT_WRITE_MASK, RV_PIPE_LIGHT_WRITE_MUL, RV_PIPE_LIGHT_WRITE_MUL,   \
      PLAIN)                                                                                       \
    X(LightWriteBlend, RV_PIPE_LIGHT_WRITE_MASK, RV_PIPE_LIGHT_WRITE_BLEND,                        \
      RV_PIPE_LIGHT_WRITE_BLEND, PLAIN)                                                            \
    /* Terminals: write the new z into the destination, or nothing. */                             \
    X(ZWrite, RV_PIPE_WRITE_Z, RV_PIPE_WRITE_Z, RV_PIPE_WRITE_Z, FAST)                             \
    X(End, RV_PIPE_WRITE_Z, 0, 0, PLAIN)

/* The flag values the list names, and the stages it declares. */
#include "pipe.h"

#endif
