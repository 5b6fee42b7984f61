// The one-pass block reconstruction against the separate steps it stands for.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "eri/core/block_reconstruction.h"
#include "eri/core/lossless_reconstruction.h"

namespace {

using Samples = std::vector<std::int32_t>;

struct BlockState {
    Samples samples;
    Samples carries;
    Samples segments;
};

BlockState randomState(int side, int planes, std::mt19937& random) {
    BlockState state{Samples(static_cast<std::size_t>(side * side * planes)),
                     Samples(static_cast<std::size_t>(side * planes)),
                     Samples(static_cast<std::size_t>(side * planes))};
    for (Samples* values : {&state.samples, &state.carries, &state.segments}) {
        for (auto& v : *values) {
            v = static_cast<std::int32_t>(random());  // the whole range: sums wrap
        }
    }
    return state;
}

// The channel operation, the horizontal step and the vertical step one after another.
void reconstructByStep(BlockState& state, int side, int planes, int operation, bool horizontal) {
    if (planes >= 3) {
        eri::applyChannelOperation(operation, state.samples.data(), side * side);
    }
    if (horizontal) {
        eri::integrateRows(state.samples.data(), state.carries.data(), side * planes, side);
    } else {
        eri::carryRowEnds(state.samples.data(), state.carries.data(), side * planes, side);
    }
    eri::integrateColumns(state.samples.data(), state.segments.data(), planes, side);
}

enum class Form { vectors, plain, plainInPlace };

BlockState reconstructInOnePass(const BlockState& start, int side, int planes, int operation,
                                bool horizontal, Form form) {
    BlockState state = start;
    Samples output(start.samples.size(), 0x5A5A5A5A);
    std::int32_t* const target = form == Form::plainInPlace ? state.samples.data() : output.data();
    const eri::BlockPass pass{state.samples.data(),  target, state.carries.data(),
                              state.segments.data(), side,   planes};
    if (form == Form::vectors) {
        eri::reconstructBlock(pass, operation, horizontal);
    } else {
        eri::reconstructBlockPlain(pass, operation, horizontal);
    }
    if (form != Form::plainInPlace) {
        state.samples = output;
    }
    return state;
}

TEST(BlockReconstruction, OnePassGivesTheResultsOfTheSeparateSteps) {
    std::mt19937 random(17);
    for (int side = 1; side <= 32; side *= 2) {
        for (const int planes : {1, 3, 4}) {
            for (int operation = 0; operation < 16; ++operation) {
                for (const bool horizontal : {true, false}) {
                    const BlockState start = randomState(side, planes, random);
                    BlockState expected = start;
                    reconstructByStep(expected, side, planes, operation, horizontal);
                    for (const Form form : {Form::vectors, Form::plain, Form::plainInPlace}) {
                        const BlockState got =
                            reconstructInOnePass(start, side, planes, operation, horizontal, form);
                        const auto where = testing::Message()
                                           << "side " << side << " planes " << planes << " op "
                                           << operation << " horizontal " << horizontal << " form "
                                           << static_cast<int>(form);
                        ASSERT_EQ(got.samples, expected.samples) << where;
                        ASSERT_EQ(got.carries, expected.carries) << where;
                        ASSERT_EQ(got.segments, expected.segments) << where;
                    }
                }
            }
        }
    }
}

// The vector form in place, across a row of blocks: the carries and line
// segments one block leaves are what the next one starts from.
TEST(BlockReconstruction, CarriesRunAlongABlockRowAndDownThePicture) {
    std::mt19937 random(23);
    constexpr int kSide = 8;
    constexpr int kPlanes = 3;
    BlockState byStep = randomState(kSide, kPlanes, random);
    BlockState onePass = byStep;
    for (int block = 0; block < 6; ++block) {
        const int operation = block * 3 % 16;
        for (auto& v : byStep.samples) {
            v = static_cast<std::int32_t>(random());
        }
        onePass.samples = byStep.samples;
        reconstructByStep(byStep, kSide, kPlanes, operation, block % 2 == 0);
        const eri::BlockPass pass{onePass.samples.data(),
                                  onePass.samples.data(),
                                  onePass.carries.data(),
                                  onePass.segments.data(),
                                  kSide,
                                  kPlanes};
        eri::reconstructBlock(pass, operation, block % 2 == 0);
        ASSERT_EQ(onePass.samples, byStep.samples) << block;
        ASSERT_EQ(onePass.carries, byStep.carries) << block;
        ASSERT_EQ(onePass.segments, byStep.segments) << block;
    }
}

}  // namespace
