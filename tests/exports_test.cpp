// What the two shared libraries export and need, read from the built files with nm and readelf:
// exactly the device functions and the adapter functions, no helper or C++ name besides.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "support/process.h"

namespace {

std::set<std::string> DefinedDynamicSymbols(const std::string &library) {
    const auto r = testsupport::RunProcess("/usr/bin/nm", {"nm", "-D", "--defined-only", library});
    EXPECT_EQ(r.status, 0) << r.err;
    std::set<std::string> names;
    std::istringstream lines(r.out);
    std::string address, type, name;
    while (lines >> address >> type >> name)
        names.insert(name);
    return names;
}

std::string DynamicSection(const std::string &library) {
    return testsupport::RunProcess("/usr/bin/readelf", {"readelf", "-d", library}).out;
}

TEST(Exports, DeviceLibraryExportsExactlyItsTwentySevenFunctions) {
    const std::set<std::string> expected = {
        "KTR_7_Version",
        "KTR_7_Check",
        "KTR_7_SetLaserState",
        "KTR_7_GetLaserState",
        "KTR_7_SetLaserIntensity",
        "KTR_7_GetLaserIntensity",
        "KTR_7_SetLaserDC",
        "KTR_7_GetLaserDC",
        "KTR_7_SetLaserPhase",
        "KTR_7_GetLaserPhase",
        "KTR_7_SetDetectorAmplification",
        "KTR_7_GetDetectorAmplification",
        "KTR_7_SetDecoderConfiguration",
        "KTR_7_GetDecoderConfiguration",
        "KTR_7_FW_Ver",
        "KTR_7_FW_Date",
        "KTR_7_Prod_ID",
        "KTR_7_Prod_No",
        "KTR_7_Get5V",
        "KTR_7_Get3V",
        "KTR_7_GetTemp",
        "KTR_7_GetClkCPU",
        "KTR_7_GetClkPer",
        "KTR_7_GetClkADC",
        "KTR_7_GetClkDAC",
        "KTR_7_GetClkMem",
        "KTR_7_GetUptime",
    };
    ASSERT_EQ(expected.size(), 27u);
    EXPECT_EQ(DefinedDynamicSymbols(KTR7_DEVICE_LIBRARY), expected);
}

TEST(Exports, AdapterLibraryExportsExactlyTheElevenAdapterFunctions) {
    const std::set<std::string> expected = {
        "Ostrel_Version",
        "Ostrel_Open",
        "Ostrel_Flush_LPT",
        "Ostrel_ErrorMessage",
        "Ostrel_IO_ErrorMessage",
        "Ostrel_GetSlot",
        "Ostrel_SetSlot",
        "Ostrel_Check",
        "Ostrel_Send",
        "Ostrel_Receive",
        "Ostrel_ReceiveString",
    };
    EXPECT_EQ(DefinedDynamicSymbols(KTR7_ADAPTER_LIBRARY), expected);
}

TEST(Exports, DeviceLibraryIsVersionedAndLinksTheAdapterAtLoadTime) {
    const std::string dynamic = DynamicSection(KTR7_DEVICE_LIBRARY);
    EXPECT_NE(dynamic.find("Library soname: [libKTR-7.so.1]"), std::string::npos) << dynamic;
    EXPECT_NE(dynamic.find("Shared library: [libOstrel.so]"), std::string::npos) << dynamic;
    const std::string program = DynamicSection(KTR7_TEST_PROGRAM);
    EXPECT_NE(program.find("Shared library: [libKTR-7.so.1]"), std::string::npos) << program;
    EXPECT_NE(program.find("Shared library: [libOstrel.so]"), std::string::npos) << program;
}

TEST(Exports, NothingLoadsALibraryByNameAtRunTime) {
    for (const char *file : {KTR7_DEVICE_LIBRARY, KTR7_ADAPTER_LIBRARY, KTR7_TEST_PROGRAM}) {
        const auto r =
            testsupport::RunProcess("/usr/bin/nm", {"nm", "-D", "--undefined-only", file});
        EXPECT_EQ(r.out.find("dlopen"), std::string::npos) << file;
    }
}

}  // namespace
