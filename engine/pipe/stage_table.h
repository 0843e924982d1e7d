// What the engine derives from the list of stages (stage_list.h): their
// enumeration, each one's function, the stage every value of every flag
// field selects, and the chain a flag word assembles. All of it is worked
// out by the compiler, which also checks the list.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "pipe.h"

namespace relvane {

enum class Stage : uint8_t {
#define RELVANE_STAGE_ENUMERATOR(Name, field, first, last, path) Name,
    RV_PIPE_STAGE_LIST(RELVANE_STAGE_ENUMERATOR)
#undef RELVANE_STAGE_ENUMERATOR
    None  // what a flag value without a stage selects
};

constexpr rv_PipeStage kStageFunctions[] = {
#define RELVANE_STAGE_FUNCTION(Name, field, first, last, path) rv_Stage##Name,
    RV_PIPE_STAGE_LIST(RELVANE_STAGE_FUNCTION)
#undef RELVANE_STAGE_FUNCTION
};

constexpr rv_PipeStage stage_function(Stage stage) {
    return kStageFunctions[static_cast<size_t>(stage)];
}

namespace stage_list {

// One line of the list.
struct Entry {
    Stage stage;
    uint32_t field, first, last;
};

constexpr Entry kEntries[] = {
#define RELVANE_STAGE_ENTRY(Name, field, first, last, path) {Stage::Name, field, first, last},
    RV_PIPE_STAGE_LIST(RELVANE_STAGE_ENTRY)
#undef RELVANE_STAGE_ENTRY
};

// Largest number of values a field may have.
constexpr uint32_t kMaxValues = 16;

// The list is sound: each stage's values lie in its field, a field's
// stages stand together and share no value, fields share no bit, and no
// field has more values than the tables hold.
constexpr bool sound() {
    constexpr size_t n = std::size(kEntries);
    for (size_t k = 0; k < n; ++k) {
        const Entry &e = kEntries[k];
        if (e.field == 0 || (e.field >> std::countr_zero(e.field)) >= kMaxValues) return false;
        if (e.first > e.last || (e.first & ~e.field) || (e.last & ~e.field)) return false;
        for (size_t j = 0; j < k; ++j) {
            const Entry &o = kEntries[j];
            if (o.field == e.field) {
                if (kEntries[k - 1].field != e.field) return false;  // apart from its field
                if (o.first <= e.last && e.first <= o.last) return false;
            } else if (o.field & e.field) {
                return false;
            }
        }
    }
    return true;
}
static_assert(sound(), "the list of pipe stages is not sound (see stage_list.h)");

constexpr size_t count_fields() {
    size_t n = 0;
    for (size_t k = 0; k < std::size(kEntries); ++k)
        if (k == 0 || kEntries[k - 1].field != kEntries[k].field) ++n;
    return n;
}

}  // namespace stage_list

// A flag field and the stage each of its values selects.
struct Field {
    uint32_t mask = 0, shift = 0;
    std::array<Stage, stage_list::kMaxValues> stages{};

    constexpr Stage select(uint32_t flags) const { return stages[(flags & mask) >> shift]; }
};

// The fields in chain order.
constexpr auto kFields = [] {
    std::array<Field, stage_list::count_fields()> fields{};
    size_t n = 0;
    for (const stage_list::Entry &e : stage_list::kEntries) {
        if (n == 0 || fields[n - 1].mask != e.field) {
            fields[n] = {e.field, static_cast<uint32_t>(std::countr_zero(e.field)), {}};
            fields[n].stages.fill(Stage::None);
            ++n;
        }
        Field &field = fields[n - 1];
        for (uint32_t v = e.first >> field.shift; v <= e.last >> field.shift; ++v) field.stages[v] = e.stage;
    }
    return fields;
}();
static_assert(kFields.size() <= RV_PIPE_SLOTS, "a pipe holds one stage per field");

// The chain a flag word assembles: the stage each field's value selects, in
// chain order. A colour source without a stage leaves the chain incomplete,
// ending before it.
struct Chain {
    int32_t nstages = 0;
    std::array<Stage, RV_PIPE_SLOTS> stages{};
    bool complete = true;
};

constexpr Chain assemble(uint32_t flags) {
    Chain chain;
    for (const Field &field : kFields) {
        const Stage stage = field.select(flags);
        if (stage != Stage::None) {
            chain.stages[static_cast<size_t>(chain.nstages++)] = stage;
        } else if (field.mask == RV_PIPE_COLOUR_MASK) {
            chain.complete = false;
            break;
        }
    }
    return chain;
}

}  // namespace relvane
