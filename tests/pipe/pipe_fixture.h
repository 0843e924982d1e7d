// A context with one default pipe.
#pragma once

#include <gtest/gtest.h>

#include "relvane.h"

struct PipeFixture : ::testing::Test {
    rv_Context *context = rv_NewContext();
    rv_Pipe *pipe = rv_NewPipe(context);
    ~PipeFixture() override {
        rv_FreePipe(pipe);
        rv_FreeContext(context);
    }
};
