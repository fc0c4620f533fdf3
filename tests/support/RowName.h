#pragma once
// Readable names for the cases of a parameterised suite: the row's `name`, with each
// run of characters GoogleTest does not allow in a name turned into one '_'.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace zorvik::test {

std::string RowNameOf(std::string_view text);

// The name generator for INSTANTIATE_TEST_SUITE_P over rows that have a `name`.
struct RowName {
    template <typename Row> std::string operator()(const ::testing::TestParamInfo<Row>& info) const
    {
        return RowNameOf(info.param.name);
    }
};

}  // namespace zorvik::test
