// The device library's version, presence check and identification queries against the recording
// fake adapter: the exact transfers, the decoded values, and every failure passed through.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "KTR-7.h"
#include "support/fake_adapter.h"
#include "support/text.h"

namespace {

using fake::Receive;
using fake::ReceiveString;
using fake::Send;

constexpr int32_t kFailure = -7;

// Calls one library function with out-values preset to a marker, and renders the result code
// and the out-values afterwards.
using Invocation = std::function<std::string()>;

using testsupport::Text;

const Invocation kFwVer = [] {
    uint16_t version = 0xBEEF;
    const int32_t result = KTR_7_FW_Ver(&version);
    return Text("%d 0x%04X", result, version);
};
const Invocation kProdNo = [] {
    uint32_t number = 0xDEADBEEF;
    const int32_t result = KTR_7_Prod_No(&number);
    return Text("%d %u", result, number);
};
const Invocation kFwDate = [] {
    char date[17];
    std::memset(date, 'x', sizeof date);
    date[16] = '\0';
    const int32_t result = KTR_7_FW_Date(date);
    return Text("%d \"%s\"", result, date);
};
const Invocation kProdId = [] {
    char id[82] = "untouched";
    const int32_t result = KTR_7_Prod_ID(id);
    return Text("%d \"%s\"", result, id);
};
const Invocation kCheck = [] {
    uint8_t present = 0x55;
    const int32_t result = KTR_7_Check(&present);
    return Text("%d flag=0x%02X", result, present);
};

struct ExchangeCase {
    const char *name;
    Invocation invoke;
    std::vector<fake::Call> script;
    std::string expected;
};

void PrintTo(const ExchangeCase &c, std::ostream *os) {
    *os << c.name;
}

class Exchange : public testing::TestWithParam<ExchangeCase> {};

TEST_P(Exchange, MakesExactlyTheScriptedTransfersAndDecodes) {
    const ExchangeCase &c = GetParam();
    fake::Adapter::Instance().Script(c.script);
    EXPECT_EQ(c.invoke(), c.expected);
    EXPECT_EQ(fake::Adapter::Instance().Made(), fake::Adapter::Instance().Expected());
}

// Whether the caller's storage lands in the adapter's hands decides what a failure leaves in it:
// here the fake stores nothing on failure, so every out-value keeps its marker.
INSTANTIATE_TEST_SUITE_P(
    Identification, Exchange,
    testing::Values(
        ExchangeCase{
            "FwVerIsLittleEndian", kFwVer, {Send({0x03}, 0), Receive({0x14, 0x01})}, "0 0x0114"},
        ExchangeCase{
            "FwVerHighByteMajor", kFwVer, {Send({0x03}, 0), Receive({0x03, 0x02})}, "0 0x0203"},
        ExchangeCase{"FwVerSendFails", kFwVer, {Send({0x03}, 0).Fails(kFailure)}, "-7 0xBEEF"},
        ExchangeCase{"FwVerReceiveFails",
                     kFwVer,
                     {Send({0x03}, 0), Receive({0x14, 0x01}).Fails(kFailure)},
                     "-7 0xBEEF"},
        ExchangeCase{"FwVerKeepsWhatAFailedReceiveStored",
                     kFwVer,
                     {Send({0x03}, 0), Receive({0x14, 0x01}).FailsAfterStoring(kFailure)},
                     "-7 0x0114"},
        ExchangeCase{
            "ProdNo256", kProdNo, {Send({0x02}, 0), Receive({0x00, 0x01, 0x00, 0x00})}, "0 256"},
        ExchangeCase{"ProdNoLargest",
                     kProdNo,
                     {Send({0x02}, 0), Receive({0xFF, 0xFF, 0xFF, 0xFF})},
                     "0 4294967295"},
        ExchangeCase{"ProdNoAllBytesPlaced",
                     kProdNo,
                     {Send({0x02}, 0), Receive({0x78, 0x56, 0x34, 0x12})},
                     "0 305419896"},
        ExchangeCase{
            "ProdNoSendFails", kProdNo, {Send({0x02}, 0).Fails(kFailure)}, "-7 3735928559"},
        ExchangeCase{"ProdNoReceiveFails",
                     kProdNo,
                     {Send({0x02}, 0), Receive({1, 2, 3, 4}).Fails(kFailure)},
                     "-7 3735928559"},
        ExchangeCase{"FwDateSixteenAtMost",
                     kFwDate,
                     {Send({0x04}, 0), ReceiveString("2015-08-17", 16)},
                     "0 \"2015-08-17\""},
        ExchangeCase{"FwDateFullLength",
                     kFwDate,
                     {Send({0x04}, 0), ReceiveString("0123456789ABCDEF", 16)},
                     "0 \"0123456789ABCDEF\""},
        ExchangeCase{"FwDateSendFails",
                     kFwDate,
                     {Send({0x04}, 0).Fails(kFailure)},
                     "-7 \"xxxxxxxxxxxxxxxx\""},
        ExchangeCase{"FwDateReceiveFails",
                     kFwDate,
                     {Send({0x04}, 0), ReceiveString("x", 16).Fails(kFailure)},
                     "-7 \"xxxxxxxxxxxxxxxx\""},
        ExchangeCase{"ProdIdEightyOneAtMost",
                     kProdId,
                     {Send({0x01}, 0), ReceiveString("KTR-7", 81)},
                     "0 \"KTR-7\""},
        ExchangeCase{
            "ProdIdSendFails", kProdId, {Send({0x01}, 0).Fails(kFailure)}, "-7 \"untouched\""},
        ExchangeCase{"ProdIdReceiveFails",
                     kProdId,
                     {Send({0x01}, 0), ReceiveString("x", 81).Fails(kFailure)},
                     "-7 \"untouched\""},
        // The presence check's four outcomes and its failures.
        ExchangeCase{"CheckNoDeviceSendsNothing", kCheck, {fake::Check(0)}, "0 flag=0x00"},
        ExchangeCase{"CheckKtr7Found",
                     kCheck,
                     {fake::Check(1), Send({0x00}, 0), Receive({0x58, 0x96})},
                     "0 flag=0x01"},
        ExchangeCase{"CheckAnyNonZeroProbeCounts",
                     kCheck,
                     {fake::Check(0x80), Send({0x00}, 0), Receive({0x58, 0x96})},
                     "0 flag=0x01"},
        ExchangeCase{"CheckOtherDeviceIsAbsent",
                     kCheck,
                     {fake::Check(1), Send({0x00}, 0), Receive({0x96, 0x58})},
                     "0 flag=0x00"},
        ExchangeCase{"CheckProbeFails", kCheck, {fake::Check(1).Fails(kFailure)}, "-7 flag=0x55"},
        ExchangeCase{"CheckSendFailsLeavesProbeFlag",
                     kCheck,
                     {fake::Check(0x80), Send({0x00}, 0).Fails(kFailure)},
                     "-7 flag=0x80"},
        ExchangeCase{"CheckReceiveFailsLeavesProbeFlag",
                     kCheck,
                     {fake::Check(1), Send({0x00}, 0), Receive({0x58, 0x96}).Fails(kFailure)},
                     "-7 flag=0x01"}),
    [](const testing::TestParamInfo<ExchangeCase> &info) { return info.param.name; });

TEST(Version, Is120WithoutAnyAdapterCall) {
    fake::Adapter::Instance().Script({});
    EXPECT_EQ(KTR_7_Version(), 0x0114);
    EXPECT_EQ(fake::Adapter::Instance().Made(), "");
}

TEST(ResultCodes, PassThroughUnchanged) {
    for (const int32_t failure : {1, -1, 2147483647, -2147483647 - 1, 0x100}) {
        fake::Adapter::Instance().Script({Send({0x03}, 0).Fails(failure)});
        uint16_t version = 0;
        EXPECT_EQ(KTR_7_FW_Ver(&version), failure);
        fake::Adapter::Instance().Script({Send({0x03}, 0), Receive({0, 0}).Fails(failure)});
        EXPECT_EQ(KTR_7_FW_Ver(&version), failure);
    }
}

}  // namespace
