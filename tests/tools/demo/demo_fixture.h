// A started demo on SDL's dummy video driver, released at the end.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo.h"

class StartedDemo : public testing::Test {
protected:
    rv_Demo d;
    rv_DemoLoop l;
    uint8_t keys[SDLK_LAST] = {};

    void SetUp() override {
        SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE);
        rv_DemoDefaults(&d, &l);
    }
    void TearDown() override {
        rv_DemoRelease(&d, &l);
        SDL_Quit();
    }
    // Runs the start-up with the given options; returns its status.
    int start(std::vector<std::string> args) {
        std::vector<char *> argv{const_cast<char *>("relvane-demo")};
        for (std::string &a : args) argv.push_back(a.data());
        testing::internal::CaptureStdout();
        const int status = rv_DemoStart(&d, &l, static_cast<int>(argv.size()), argv.data());
        fflush(stdout);
        printed = testing::internal::GetCapturedStdout();
        return status;
    }
    // Releases the started demo and sets the defaults again, for a new start.
    void reset() {
        rv_DemoRelease(&d, &l);
        rv_DemoDefaults(&d, &l);
    }
    void frame(float dt = 0.0f) { rv_DemoFrame(&d, &l, keys, dt); }
    std::string printed;
};
