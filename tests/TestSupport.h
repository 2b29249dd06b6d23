// Small helpers shared by the test files.
#ifndef KORVAN_TESTS_TEST_SUPPORT_H
#define KORVAN_TESTS_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

// Names a parameterised case after its `name` field.
struct CaseName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};

}  // namespace testsupport

#endif  // KORVAN_TESTS_TEST_SUPPORT_H
