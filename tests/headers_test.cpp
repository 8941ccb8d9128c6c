// The public headers stand on their own: they include nothing but <stdint.h>, and compile as
// strict C99 (headers_c99.c, built with this test) and as C++ (this file).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "KTR-7.h"
#include "Ostrel.h"

extern "C" int headers_c99_use(void);

namespace {

std::vector<std::string> Includes(const std::string &path) {
    std::ifstream file(path);
    std::vector<std::string> includes;
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("#include", 0) == 0) includes.push_back(line);
    }
    return includes;
}

TEST(Headers, IncludeOnlyStdint) {
    for (const char *header : {KTR7_DEVICE_HEADER, KTR7_ADAPTER_HEADER}) {
        EXPECT_EQ(Includes(header), std::vector<std::string>{"#include <stdint.h>"}) << header;
    }
}

TEST(Headers, CallableFromC) {
    EXPECT_GT(headers_c99_use(), 0);
}

}  // namespace
