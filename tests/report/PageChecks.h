// What the page tables check of a page: texts present in the order given, and texts absent.
#pragma once

#include "tests/report/fuzz/PageOracles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reporttest {

using fuzzoracle::Count;

inline void ExpectShown(const std::string& page, const std::vector<std::string>& inOrder,
                        const std::vector<std::string>& absent)
{
    std::size_t at = 0;
    for (const std::string& text : inOrder) {
        const std::size_t found = page.find(text, at);
        if (found == std::string::npos) {
            ADD_FAILURE() << "not shown, or not in this order: " << text;
            return;
        }
        at = found + text.size();
    }
    for (const std::string& text : absent) EXPECT_EQ(std::string::npos, page.find(text)) << text;
}

} // namespace reporttest
