#include "store/ZeroByte.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every length and zero position around the word boundaries, at every alignment,
// with high bytes beside the zero (they must not pass for one).
TEST(ZeroByte, FindsTheFirstZeroWhereverItIs) {
    std::vector<unsigned char> bytes(64);
    for (std::size_t shift = 0; shift < 8; ++shift)
        for (std::size_t n = 0; n + shift <= 40; ++n)
            for (std::size_t zero = 0; zero <= n; ++zero) {
                for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = i % 2 ? 0x80 : 0x01;
                if (zero < n) bytes[shift + zero] = 0;
                if (zero + 3 < n) bytes[shift + zero + 3] = 0;  // a later zero does not count
                ASSERT_EQ(zero, zeroByteOffset(bytes.data() + shift, n)) << shift << " " << n;
            }
}

}  // namespace
