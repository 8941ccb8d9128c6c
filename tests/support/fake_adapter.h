// A recording fake of the adapter library for tests. It defines the Ostrel_* functions: every call
// is recorded with its arguments and answered from a script of expected calls with canned replies.
// Tests compare the recorded calls with the script as text, so a mismatch shows both in hex.
#ifndef KTR7_TESTS_FAKE_ADAPTER_H
#define KTR7_TESTS_FAKE_ADAPTER_H

#include <cstdint>
#include <string>
#include <vector>

namespace fake {

enum class Fn { kOpen, kFlush, kGetSlot, kSetSlot, kCheck, kSend, kReceive, kReceiveString };

struct Call {
    Fn fn = Fn::kOpen;
    int32_t one = 1;             // transfer calls: the constant first argument; slot calls: the 1
    int32_t zero = 0;            // slot calls: the 0
    std::vector<uint8_t> bytes;  // Send: bytes sent; Receive: answer; GetSlot, Check: value stored
    std::string text;            // ReceiveString: the text delivered
    uint8_t slot = 0;            // SetSlot: the slot
    int32_t count = 0;           // Send, Receive: count; ReceiveString: maximum length
    int32_t final = 0;
    int32_t result = 0;
    bool writes_on_failure = false;  // a failing receive that still stores its bytes

    // A failing variant of this call, returning result.
    Call Fails(int32_t failure) const;
    // A failing receive that has stored its bytes nevertheless.
    Call FailsAfterStoring(int32_t failure) const;
};

Call Make(Fn fn, int32_t one = 1, int32_t zero = 0);
Call Open(int32_t result = 0);
Call Flush(int32_t result = 0);
Call GetSlot(uint8_t slot);
Call SetSlot(uint8_t slot);
Call Check(uint8_t present);
Call Send(std::vector<uint8_t> bytes, int32_t final);
Call Receive(std::vector<uint8_t> answer);
Call ReceiveString(std::string text, int32_t max_length);

std::string Describe(const Call &call);
std::string Describe(const std::vector<Call> &calls);

class Adapter {
  public:
    static Adapter &Instance();

    // Starts a new case: the expected calls with their replies, in order.
    void Script(std::vector<Call> expected);
    // The calls made since Script, described like the script (compare the two).
    std::string Made() const { return Describe(made_); }
    std::string Expected() const { return Describe(script_); }
    const std::vector<Call> &made() const { return made_; }

    uint16_t version = 0x0100;
    std::string message = "fake error";
    std::string io_message = "fake I/O error";
    std::vector<std::string> text_fetches;  // "io" and "message", in the order fetched

    // Used by the Ostrel_* functions.
    const Call *Next(Fn fn);
    void Record(Call call) { made_.push_back(std::move(call)); }

  private:
    std::vector<Call> script_;
    std::vector<Call> made_;
    std::size_t next_ = 0;
};

// The result of a call the script did not expect.
inline constexpr int32_t kUnexpected = -1000;

}  // namespace fake

#endif  // KTR7_TESTS_FAKE_ADAPTER_H
