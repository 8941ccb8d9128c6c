// The I2C backend of the stand-in adapter, driven through the adapter with a fake in place of
// i2c-dev's system calls: the messages each call puts on the bus, the held code of a read
// transaction, the slot-to-address mapping, the probe, and the error texts. Also the bus
// variables' parsing and the real system calls where they need no hardware.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Ostrel.h"
#include "i2c_bus.h"
#include "instance.h"

namespace {

using ostrel::Adapter;
using ostrel::Config;
using ostrel::I2cConfig;

// One message of a transfer as the fake saw it; bytes are those of a write message.
struct Message {
    uint16_t addr;
    uint16_t flags;
    uint16_t len;
    std::vector<uint8_t> bytes;

    bool operator==(const Message &other) const {
        return addr == other.addr && flags == other.flags && len == other.len &&
               bytes == other.bytes;
    }
};

void PrintTo(const Message &m, std::ostream *os) {
    *os << "{addr 0x" << std::hex << m.addr << ", flags 0x" << m.flags << std::dec << ", len "
        << m.len << ", bytes [";
    for (const uint8_t b : m.bytes)
        *os << ' ' << int{b};
    *os << " ]}";
}

using Messages = std::vector<Message>;  // one transfer

Message WriteOf(uint16_t addr, std::vector<uint8_t> bytes) {
    const auto len = static_cast<uint16_t>(bytes.size());
    return {addr, 0, len, std::move(bytes)};
}
Message ReadOf(uint16_t addr, uint16_t len) {
    return {addr, I2C_M_RD, len, {}};
}

constexpr int kFd = 7;

// i2c-dev as the backend sees it: scripted results, every call recorded.
class FakeI2c final : public ostrel::I2cSystem {
  public:
    int open_result = kFd;
    int funcs_result = 0;
    unsigned long funcs = I2C_FUNC_I2C | I2C_FUNC_SMBUS_QUICK;
    std::deque<int> results;      // of the next transfers; when empty, all messages went
    std::vector<uint8_t> answer;  // what read messages receive, then 0xEE

    std::vector<std::string> opened;
    std::vector<int> closed;
    std::vector<Messages> transfers;

    int Open(const std::string &path) override {
        opened.push_back(path);
        return open_result;
    }
    int Functionality(int fd, unsigned long &mask) override {
        EXPECT_EQ(fd, kFd);
        if (funcs_result == 0) mask = funcs;
        return funcs_result;
    }
    int Transfer(int fd, i2c_rdwr_ioctl_data &data) override {
        EXPECT_EQ(fd, kFd);
        Messages seen;
        for (uint32_t i = 0; i < data.nmsgs; ++i) {
            i2c_msg &m = data.msgs[i];
            const bool read = (m.flags & I2C_M_RD) != 0;
            seen.push_back(
                {m.addr, m.flags, m.len,
                 read ? std::vector<uint8_t>{} : std::vector<uint8_t>(m.buf, m.buf + m.len)});
            for (uint16_t b = 0; read && b < m.len; ++b)
                m.buf[b] = b < answer.size() ? answer[b] : 0xEE;
        }
        transfers.push_back(seen);
        if (results.empty()) return static_cast<int>(data.nmsgs);
        const int result = results.front();
        results.pop_front();
        return result;
    }
    void Close(int fd) override { closed.push_back(fd); }
};

class I2cAdapter : public testing::Test {
  protected:
    void SetUp() override { Make(I2cConfig{}); }

    // A fresh adapter on the fake bus, opened unless told otherwise.
    void Make(I2cConfig i2c, bool open = true, Config config = {}) {
        adapter.reset();
        fake.transfers.clear();
        if (i2c.device.empty()) i2c.device = "/dev/i2c-1";
        config.bus = ostrel::BusKind::kI2c;
        config.i2c = i2c;
        adapter = std::make_unique<Adapter>(config, std::make_unique<ostrel::I2cBus>(i2c, fake));
        if (open) {
            ASSERT_EQ(adapter->Open(), 0) << Texts();
        }
    }

    // Slot 0 at the given address.
    void MakeAt(uint8_t address) {
        I2cConfig i2c;
        i2c.addresses = {{0, address}};
        Make(i2c);
    }

    int32_t SendCode(uint8_t code) { return adapter->Send(1, &code, 1, 0); }
    int32_t Write(std::vector<uint8_t> bytes) {
        return adapter->Send(1, bytes.data(), static_cast<int32_t>(bytes.size()), 1);
    }
    std::string Texts() {
        return std::string(adapter->ErrorMessage()) + " / " + adapter->IoErrorMessage();
    }

    FakeI2c fake;  // outlives the adapter, which closes the bus through it
    std::unique_ptr<Adapter> adapter;
};

struct OpenCase {
    const char *name;
    int open_result;
    int funcs_result;
    unsigned long funcs;
    std::string texts;  // empty: opened
};

TEST_F(I2cAdapter, OpenNeedsTheDeviceAndPlainI2cTransfers) {
    const std::vector<OpenCase> cases = {
        {"opened", kFd, 0, I2C_FUNC_I2C, ""},
        {"no device file", -ENOENT, 0, I2C_FUNC_I2C,
         "Cannot open the I2C bus / open(/dev/i2c-1): No such file or directory"},
        {"no permission", -EACCES, 0, I2C_FUNC_I2C,
         "Cannot open the I2C bus / open(/dev/i2c-1): Permission denied"},
        {"not an i2c-dev file", kFd, -ENOTTY, 0,
         "Cannot open the I2C bus / ioctl(I2C_FUNCS) on /dev/i2c-1: Inappropriate ioctl for "
         "device"},
        {"SMBus-only adapter", kFd, 0, I2C_FUNC_SMBUS_QUICK | I2C_FUNC_SMBUS_BYTE_DATA,
         "The I2C adapter cannot do plain I2C transfers / ioctl(I2C_FUNCS) on /dev/i2c-1: "
         "functionality 0x00190000 lacks I2C_FUNC_I2C"},
    };
    for (const OpenCase &c : cases) {
        SCOPED_TRACE(c.name);
        adapter.reset();
        fake.open_result = c.open_result;
        fake.funcs_result = c.funcs_result;
        fake.funcs = c.funcs;
        fake.opened.clear();
        fake.closed.clear();
        Make(I2cConfig{}, false);
        const int32_t result = adapter->Open();
        EXPECT_EQ(fake.opened, std::vector<std::string>{"/dev/i2c-1"});
        uint8_t present = 0;
        if (c.texts.empty()) {
            EXPECT_EQ(result, 0) << Texts();
            EXPECT_TRUE(fake.closed.empty());
            EXPECT_EQ(adapter->Check(1, &present), 0);
        } else {
            EXPECT_EQ(result, ostrel::kBusError);
            EXPECT_EQ(Texts(), c.texts);
            // A descriptor that was opened is closed again; the port stays closed.
            EXPECT_EQ(fake.closed, c.open_result >= 0 ? std::vector<int>{kFd} : std::vector<int>{});
            EXPECT_EQ(adapter->Check(1, &present), ostrel::kNotOpen);
        }
        EXPECT_EQ(fake.transfers.size(), c.texts.empty() ? 1u : 0u);
    }
}

TEST_F(I2cAdapter, OpensTheBusOnceAndClosesItWithTheAdapter) {
    EXPECT_EQ(adapter->Open(), 0);
    EXPECT_EQ(fake.opened.size(), 1u);
    EXPECT_TRUE(fake.closed.empty());
    adapter.reset();
    EXPECT_EQ(fake.closed, std::vector<int>{kFd});
}

TEST_F(I2cAdapter, ReadTransactionIsOneCombinedTransferAtTheReceive) {
    struct Read {
        uint8_t code;
        int32_t count;
    };
    fake.answer = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    for (const Read read : {Read{0x05, 6}, Read{0x0E, 1}, Read{0x00, 2}, Read{0x09, 4}}) {
        SCOPED_TRACE(testing::Message() << "code " << int{read.code});
        fake.transfers.clear();
        ASSERT_EQ(SendCode(read.code), 0) << Texts();
        EXPECT_TRUE(fake.transfers.empty()) << "the code went out before its receive";
        std::vector<uint8_t> data(static_cast<std::size_t>(read.count), 0);
        ASSERT_EQ(adapter->Receive(1, data.data(), read.count, 1), 0) << Texts();
        const auto len = static_cast<uint16_t>(read.count);
        EXPECT_EQ(fake.transfers,
                  (std::vector<Messages>{{WriteOf(0x20, {read.code}), ReadOf(0x20, len)}}));
        EXPECT_EQ(data, std::vector<uint8_t>(fake.answer.begin(), fake.answer.begin() + len));
    }
}

TEST_F(I2cAdapter, WriteTransactionIsOneMessage) {
    ASSERT_EQ(Write({0x0F, 0xD0, 0x07}), 0) << Texts();
    ASSERT_EQ(Write({0x0E, 0x01}), 0) << Texts();
    EXPECT_EQ(fake.transfers, (std::vector<Messages>{{WriteOf(0x20, {0x0F, 0xD0, 0x07})},
                                                     {WriteOf(0x20, {0x0E, 0x01})}}));
}

TEST_F(I2cAdapter, HeldCodeNeverOutlivesItsTransaction) {
    uint8_t data[6];
    uint8_t present = 0;
    // What comes between the send of code 0x05 and its receive, and the transfers it makes.
    struct Between {
        const char *name;
        std::function<int32_t()> call;
        std::vector<Messages> transfers;
    };
    const std::vector<Between> cases = {
        {"flush", [&] { return adapter->Flush(); }, {}},
        {"write",
         [&] {
             return Write({0x0E, 0x01});
         },
         {{WriteOf(0x20, {0x0E, 0x01})}}},
        {"check", [&] { return adapter->Check(1, &present); }, {{WriteOf(0x20, {})}}},
        {"slot change", [&] { return adapter->SetSlot(0, 1, 0); }, {}},
    };
    for (const Between &c : cases) {
        SCOPED_TRACE(c.name);
        Make(I2cConfig{});
        ASSERT_EQ(SendCode(0x05), 0);
        ASSERT_EQ(c.call(), 0) << Texts();
        EXPECT_EQ(adapter->Receive(1, data, 6, 1), ostrel::kNoReadPending);
        EXPECT_EQ(fake.transfers, c.transfers);
    }

    // A second code replaces the first.
    Make(I2cConfig{});
    ASSERT_EQ(SendCode(0x05), 0);
    ASSERT_EQ(SendCode(0x06), 0);
    ASSERT_EQ(adapter->Receive(1, data, 2, 1), 0);
    EXPECT_EQ(fake.transfers, (std::vector<Messages>{{WriteOf(0x20, {0x06}), ReadOf(0x20, 2)}}));

    // The bus itself refuses a receive that its held code does not match.
    I2cConfig i2c;
    i2c.device = "/dev/i2c-1";
    ostrel::I2cBus bus(i2c, fake);
    ASSERT_FALSE(bus.Open());
    fake.transfers.clear();
    const uint8_t code = 0x05;
    EXPECT_EQ(bus.Receive(0, code, data, 6, false).result, ostrel::kNoReadPending);
    ASSERT_FALSE(bus.Send(0, &code, 1, false));
    EXPECT_EQ(bus.Receive(1, code, data, 6, false).result, ostrel::kNoReadPending);  // slot
    ASSERT_FALSE(bus.Send(0, &code, 1, false));
    EXPECT_EQ(bus.Receive(0, 0x06, data, 6, false).result, ostrel::kNoReadPending);  // code
    ASSERT_FALSE(bus.Send(0, &code, 1, false));
    ASSERT_FALSE(bus.Flush());
    EXPECT_EQ(bus.Receive(0, code, data, 6, false).result, ostrel::kNoReadPending);
    EXPECT_TRUE(fake.transfers.empty());
}

struct MappingCase {
    std::optional<uint8_t> base;
    std::map<uint8_t, uint8_t> table;
    uint8_t slot;
    int address;         // -1: none
    std::string reason;  // the I/O error text when there is none
};

TEST_F(I2cAdapter, SlotsMapToAddressesOrAreRefusedAtTheTransfer) {
    const std::string kNotListed =
        "has no I2C address: OSTREL_I2C_ADDRESSES does not list it and OSTREL_I2C_BASE is none";
    const std::vector<MappingCase> cases = {
        {0x20, {}, 0, 0x20, ""},
        {0x20, {}, 87, 0x77, ""},
        {0x20,
         {},
         88,
         -1,
         "QMB slot 88 has no I2C address: 0x20 + 88 = 0x78 is not a device address (0x08 to "
         "0x77)"},
        {0x20,
         {},
         255,
         -1,
         "QMB slot 255 has no I2C address: 0x20 + 255 = 0x11F is not a device address (0x08 to "
         "0x77)"},
        {0x00,
         {},
         7,
         -1,
         "QMB slot 7 has no I2C address: 0x00 + 7 = 0x07 is not a device address (0x08 to "
         "0x77)"},
        {0x00, {}, 8, 0x08, ""},
        {0x20, {{5, 0x31}}, 5, 0x31, ""},
        {0x20, {{5, 0x31}}, 6, 0x26, ""},
        {0x20, {{200, 0x50}}, 200, 0x50, ""},
        {std::nullopt, {{200, 0x50}}, 200, 0x50, ""},
        {std::nullopt, {{200, 0x50}}, 0, -1, "QMB slot 0 " + kNotListed},
    };
    for (const MappingCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "slot " << int{c.slot});
        I2cConfig i2c;
        i2c.base = c.base;
        i2c.addresses = c.table;
        Make(i2c);
        ASSERT_EQ(adapter->SetSlot(c.slot, 1, 0), 0);  // selecting a slot is always allowed
        uint8_t present = 0xAA;
        if (c.address >= 0) {
            const auto addr = static_cast<uint16_t>(c.address);
            ASSERT_EQ(Write({0x0E, 0x01}), 0) << Texts();
            ASSERT_EQ(adapter->Check(1, &present), 0) << Texts();
            ASSERT_EQ(fake.transfers.size(), 2u);
            EXPECT_EQ(fake.transfers[0][0].addr, addr);
            EXPECT_EQ(fake.transfers[1][0].addr, addr);
            continue;
        }
        const std::string texts = "No I2C address for the QMB slot / " + c.reason;
        EXPECT_EQ(SendCode(0x05), ostrel::kConfigError);
        EXPECT_EQ(Texts(), texts);
        EXPECT_EQ(Write({0x0E, 0x01}), ostrel::kConfigError);
        EXPECT_EQ(adapter->Check(1, &present), ostrel::kConfigError);
        EXPECT_EQ(Texts(), texts);
        EXPECT_EQ(present, 0xAA);
        EXPECT_TRUE(fake.transfers.empty());
    }
}

TEST_F(I2cAdapter, ProbesAsI2cdetectDoes) {
    const unsigned long kWithQuick = I2C_FUNC_I2C | I2C_FUNC_SMBUS_QUICK;
    struct ProbeCase {
        uint8_t address;
        unsigned long funcs;
        bool read;  // a 1-byte read rather than a quick write
    };
    const std::vector<ProbeCase> cases = {
        {0x20, kWithQuick, false}, {0x2F, kWithQuick, false}, {0x30, kWithQuick, true},
        {0x37, kWithQuick, true},  {0x38, kWithQuick, false}, {0x4F, kWithQuick, false},
        {0x50, kWithQuick, true},  {0x5F, kWithQuick, true},  {0x60, kWithQuick, false},
        {0x08, kWithQuick, false}, {0x77, kWithQuick, false}, {0x20, I2C_FUNC_I2C, true},
    };
    for (const ProbeCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "address 0x" << std::hex << int{c.address});
        fake.funcs = c.funcs;
        MakeAt(c.address);
        uint8_t present = 0;
        ASSERT_EQ(adapter->Check(1, &present), 0) << Texts();
        EXPECT_EQ(present, 1);
        EXPECT_EQ(fake.transfers,
                  std::vector<Messages>{{c.read ? ReadOf(c.address, 1) : WriteOf(c.address, {})}});
    }
}

TEST_F(I2cAdapter, ProbeTellsAnAbsentDeviceFromABrokenBus) {
    struct Outcome {
        int result;
        int32_t returned;
        uint8_t present;  // 0xAA: left alone
        std::string texts;
    };
    const std::vector<Outcome> cases = {
        {1, 0, 1, ""},
        {-ENXIO, 0, 0, ""},
        {-EREMOTEIO, 0, 0, ""},
        {-ETIMEDOUT, ostrel::kBusError, 0xAA,
         "I2C transfer failed / ioctl(I2C_RDWR) on /dev/i2c-1, address 0x20: Connection timed "
         "out"},
        {-EOPNOTSUPP, ostrel::kBusError, 0xAA,
         "I2C transfer failed / ioctl(I2C_RDWR) on /dev/i2c-1, address 0x20: Operation not "
         "supported"},
    };
    for (const Outcome &c : cases) {
        SCOPED_TRACE(c.result);
        Make(I2cConfig{});
        fake.results = {c.result};
        uint8_t present = 0xAA;
        EXPECT_EQ(adapter->Check(1, &present), c.returned);
        EXPECT_EQ(present, c.present);
        if (!c.texts.empty()) {
            EXPECT_EQ(Texts(), c.texts);
        }
    }
}

struct ErrorCase {
    bool write;
    int result;
    int32_t returned;
    std::string texts;
};

TEST_F(I2cAdapter, TransferFailuresNameTheStepAndTheSystemsReason) {
    const std::string kStep = "ioctl(I2C_RDWR) on /dev/i2c-1, address 0x21: ";
    const std::vector<ErrorCase> cases = {
        {false, -ENXIO, ostrel::kNoAcknowledge,
         "No acknowledge / " + kStep + "No such device or address"},
        {false, -EREMOTEIO, ostrel::kNoAcknowledge,
         "No acknowledge / " + kStep + "Remote I/O error"},
        {true, -EREMOTEIO, ostrel::kNoAcknowledge,
         "No acknowledge / " + kStep + "Remote I/O error"},
        {false, -ETIMEDOUT, ostrel::kBusError,
         "I2C transfer failed / " + kStep + "Connection timed out"},
        {true, -EAGAIN, ostrel::kBusError,
         "I2C transfer failed / " + kStep + "Resource temporarily unavailable"},
        {false, 1, ostrel::kBusError,
         "I2C transfer failed / " + kStep + "1 of 2 messages transferred"},
        {true, 0, ostrel::kBusError,
         "I2C transfer failed / " + kStep + "0 of 1 messages transferred"},
        {false, INT_MIN, ostrel::kBusError,
         "I2C transfer failed / " + kStep + "Input/output error"},
    };
    for (const ErrorCase &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.write ? "write " : "read ") << c.result);
        Make(I2cConfig{});
        ASSERT_EQ(adapter->SetSlot(1, 1, 0), 0);
        fake.results = {c.result};
        int32_t returned = 0;
        if (c.write) {
            returned = Write({0x0E, 0x00});
        } else {
            uint8_t data[2];
            ASSERT_EQ(SendCode(0x0F), 0);
            returned = adapter->Receive(1, data, 2, 1);
        }
        EXPECT_EQ(returned, c.returned);
        EXPECT_EQ(Texts(), c.texts);
    }
}

TEST_F(I2cAdapter, TextReadIsMaxLengthBytesCutAtTheDevicesZero) {
    struct TextCase {
        std::string answer;  // what the device clocks out
        std::string text;    // what the caller gets
    };
    const std::vector<TextCase> cases = {
        {std::string("2015-08-17\0\xFF\xFF\xFF\xFF\xFF", 16), "2015-08-17"},
        {"0123456789ABCDEFGHIJ", "0123456789ABCDEF"},  // no zero in 16 bytes: the adapter's ends it
        {std::string("\0abc", 4), ""},
    };
    for (const TextCase &c : cases) {
        SCOPED_TRACE(c.text);
        Make(I2cConfig{});
        fake.answer.assign(c.answer.begin(), c.answer.end());
        char text[24];
        std::memset(text, '#', sizeof text);
        ASSERT_EQ(SendCode(0x04), 0);
        ASSERT_EQ(adapter->ReceiveString(1, text, 16, 1), 0) << Texts();
        EXPECT_EQ(fake.transfers,
                  (std::vector<Messages>{{WriteOf(0x20, {0x04}), ReadOf(0x20, 16)}}));
        EXPECT_EQ(std::string(text), c.text);
        EXPECT_EQ(std::string(text, 17), c.text + std::string(17 - c.text.size(), '\0'));
        EXPECT_EQ(text[17], '#');
    }

    // A read of no bytes is not put on the bus.
    char text[1];
    ASSERT_EQ(SendCode(0x04), 0);
    fake.transfers.clear();
    EXPECT_EQ(adapter->ReceiveString(1, text, 0, 1), ostrel::kWrongLength);
    EXPECT_TRUE(fake.transfers.empty());
}

TEST_F(I2cAdapter, FaultInjectionAndTraceWorkOnTheI2cBus) {
    const std::string path = testing::TempDir() + "ostrel_i2c_trace.txt";
    Config config;
    ASSERT_TRUE(ostrel::ParseFaultRules("receive:0x05@1", config.faults));
    config.trace_path = path;
    Make(I2cConfig{}, true, config);
    uint8_t data[6];
    fake.answer = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(SendCode(0x05), 0);
    EXPECT_EQ(adapter->Receive(1, data, 6, 1), -99);
    EXPECT_TRUE(fake.transfers.empty());  // the injected failure stopped the transfer
    ASSERT_EQ(SendCode(0x05), 0);
    EXPECT_EQ(adapter->Receive(1, data, 6, 1), 0);
    EXPECT_EQ(fake.transfers.size(), 1u);
    adapter.reset();  // closes the trace

    std::ifstream file(path);
    std::stringstream trace;
    trace << file.rdbuf();
    EXPECT_EQ(trace.str(),
              "Ostrel_Open() = 0\n"
              "Ostrel_Send(1, [05], 1, 0) = 0\n"
              "Ostrel_Receive(1, -> [], 6, 1) = -99\n"
              "Ostrel_Send(1, [05], 1, 0) = 0\n"
              "Ostrel_Receive(1, -> [01 02 03 04 05 06], 6, 1) = 0\n");
}

// Configuration through the environment.
Config Parse(const std::map<std::string, std::string> &env) {
    return ostrel::ParseConfig([&env](const char *name) -> const char * {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}

TEST(I2cConfig, ParsesTheBusVariablesAndNamesTheOneThatDoesNot) {
    const std::string kTable =
        "is not a list of SLOT:ADDRESS, one address (0x08 to 0x77) for each slot (0 to 255)";
    const std::vector<std::pair<std::map<std::string, std::string>, std::string>> cases = {
        {{{"OSTREL_BUS", "sim"}}, ""},
        {{{"OSTREL_BUS", " I2C "}, {"OSTREL_I2C_DEVICE", "/dev/i2c-3"}}, ""},
        {{{"OSTREL_I2C_BASE", "none"}, {"OSTREL_I2C_ADDRESSES", "0:0x20, 5:0x31,"}}, ""},
        {{{"OSTREL_I2C_BASE", "0"}, {"OSTREL_I2C_ADDRESSES", ""}}, ""},
        {{{"OSTREL_BUS", "usb"}}, "OSTREL_BUS='usb' is not sim or i2c"},
        {{{"OSTREL_BUS", "i2c"}},
         "OSTREL_I2C_DEVICE is not set: OSTREL_BUS=i2c needs the bus device (/dev/i2c-N, see "
         "i2cdetect -l)"},
        {{{"OSTREL_BUS", "i2c"}, {"OSTREL_I2C_DEVICE", " "}},
         "OSTREL_I2C_DEVICE=' ' is not an I2C bus device (/dev/i2c-N or N)"},
        {{{"OSTREL_I2C_BASE", "0x78"}},
         "OSTREL_I2C_BASE='0x78' is not a 7-bit I2C address from 0 to 0x77 or none"},
        {{{"OSTREL_I2C_BASE", "-1"}},
         "OSTREL_I2C_BASE='-1' is not a 7-bit I2C address from 0 to 0x77 or none"},
        {{{"OSTREL_I2C_ADDRESSES", "5"}}, "OSTREL_I2C_ADDRESSES='5' " + kTable},
        {{{"OSTREL_I2C_ADDRESSES", "5:"}}, "OSTREL_I2C_ADDRESSES='5:' " + kTable},
        {{{"OSTREL_I2C_ADDRESSES", "256:0x20"}}, "OSTREL_I2C_ADDRESSES='256:0x20' " + kTable},
        {{{"OSTREL_I2C_ADDRESSES", "1:0x07"}}, "OSTREL_I2C_ADDRESSES='1:0x07' " + kTable},
        {{{"OSTREL_I2C_ADDRESSES", "1:0x78"}}, "OSTREL_I2C_ADDRESSES='1:0x78' " + kTable},
        {{{"OSTREL_I2C_ADDRESSES", "1:0x20,1:0x21"}},
         "OSTREL_I2C_ADDRESSES='1:0x20,1:0x21' " + kTable},
    };
    for (const auto &[env, error] : cases) {
        EXPECT_EQ(Parse(env).error, error);
    }

    EXPECT_EQ(Parse({}).bus, ostrel::BusKind::kSimulated);
    EXPECT_EQ(Parse({}).i2c.base, 0x20);
    const Config config = Parse({{"OSTREL_BUS", "i2c"},
                                 {"OSTREL_I2C_DEVICE", "4"},
                                 {"OSTREL_I2C_BASE", "0x40"},
                                 {"OSTREL_I2C_ADDRESSES", "0:0x20,0x10:77"}});
    EXPECT_EQ(config.bus, ostrel::BusKind::kI2c);
    EXPECT_EQ(config.i2c.device, "/dev/i2c-4");
    EXPECT_EQ(config.i2c.base, 0x40);
    EXPECT_EQ(config.i2c.addresses, (std::map<uint8_t, uint8_t>{{0, 0x20}, {16, 77}}));
}

// The process's adapter on the real system calls, where no I2C hardware is needed.
TEST(I2cSystemCalls, OpenReportsTheFailingCallAndTheSystemsReason) {
    ostrel::ResetInstance(
        Parse({{"OSTREL_BUS", "i2c"}, {"OSTREL_I2C_DEVICE", "/nonexistent/i2c-9"}}));
    EXPECT_EQ(Ostrel_Open(), ostrel::kBusError);
    EXPECT_STREQ(Ostrel_IO_ErrorMessage(), "open(/nonexistent/i2c-9): No such file or directory");

    ostrel::ResetInstance(Parse({{"OSTREL_BUS", "i2c"}, {"OSTREL_I2C_DEVICE", "/dev/null"}}));
    EXPECT_EQ(Ostrel_Open(), ostrel::kBusError);
    EXPECT_STREQ(Ostrel_IO_ErrorMessage(),
                 "ioctl(I2C_FUNCS) on /dev/null: Inappropriate ioctl for device");
    ostrel::ResetInstance(Config{});
}

}  // namespace
