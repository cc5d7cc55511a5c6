#include "store/HandleIndex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

namespace {

// Random insertions, replacements and removals against a plain map, with handles
// that crowd into few home slots (multiples of a large power of two) and handles
// spread out, so that removals have runs of entries to shift back.
TEST(HandleIndex, AgreesWithAMapThroughInsertionsAndRemovals) {
    for (const std::uintptr_t stride : {std::uintptr_t{1} << 32, std::uintptr_t{0x9E37}}) {
        std::vector<std::uintptr_t> keys;  // each number's handle
        const auto keyOf = [&](std::uint32_t id) { return keys[id]; };
        HandleIndex index;
        std::map<std::uintptr_t, std::uint32_t> model;
        std::mt19937 random(7);
        for (int step = 0; step < 20000; ++step) {
            const std::uintptr_t key = (random() % 300 + 1) * stride;
            if (random() % 3 == 0) {
                index.erase(key, keyOf);
                model.erase(key);
            } else {
                keys.push_back(key);
                const std::uint32_t id = static_cast<std::uint32_t>(keys.size() - 1);
                if (random() % 2) {
                    index.assign(id, keyOf);
                    model[key] = id;
                } else {
                    EXPECT_EQ(index.insert(id, keyOf), model.emplace(key, id).second);
                }
            }
            ASSERT_EQ(index.size(), model.size()) << step;
        }
        for (std::uintptr_t k = 1; k <= 300; ++k) {
            const auto found = model.find(k * stride);
            EXPECT_EQ(index.find(k * stride, keyOf), found == model.end() ? HandleIndex::NONE : found->second) << k;
        }
    }
}

}  // namespace
