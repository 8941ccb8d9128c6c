// One run of KTR-7-Test through every command under valgrind's memcheck: no invalid access, no
// use of uninitialised memory, no definite leak.
#include <gtest/gtest.h>

#include <string>

#include "support/process.h"

namespace {

TEST(Memcheck, EveryCommandRunsClean) {
    const std::string keys =
        "?qQodvpnkcuU\x1b"
        "lL1\niI50\nhH20\nsS-45\naA10\ntT0\n2\nT1\n1\nt"
        "O5\noO0\nq"
        "Lx\nI1e9\nS99999999999\nT7\nO00000000012\n";
    const auto run = testsupport::RunProcess(
        KTR7_VALGRIND,
        {KTR7_VALGRIND, "--error-exitcode=99", "--leak-check=full",
         "--errors-for-leak-kinds=definite", "--track-origins=yes", "-q", KTR7_TEST_PROGRAM, "-d"},
        {{"OSTREL_SIM_MISSING", "TEMP"}}, keys);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Decoder configuration set: X=X1-X2,\tY=(Y2-Y1)/2S"), std::string::npos);
    EXPECT_NE(run.out.find("Program finished"), std::string::npos);
}

}  // namespace
