// Replays the fuzz corpus and a fixed set of random call sequences in the
// ordinary and sanitizer builds: each must run to its end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "fuzz/call_sequence.h"

namespace {

std::filesystem::path corpus_dir() {
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "fuzz" / "corpus";
}

}  // namespace

TEST(FuzzCorpus, EveryInputRunsToItsEnd) {
    int inputs = 0;
    for (const auto &entry : std::filesystem::directory_iterator(corpus_dir())) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<uint8_t> data{std::istreambuf_iterator<char>(file), {}};
        SCOPED_TRACE(entry.path().filename().string());
        relvane_fuzz::run_calls(data.data(), data.size());
        inputs++;
    }
    EXPECT_GT(inputs, 0);
}

TEST(FuzzCorpus, SeededRandomSequencesRunToTheirEnd) {
    std::mt19937 random(20261209);
    std::vector<uint8_t> data;
    for (int i = 0; i < 400; i++) {
        data.resize(random() % 600);
        for (auto &b : data) b = static_cast<uint8_t>(random());
        relvane_fuzz::run_calls(data.data(), data.size());
    }
}
