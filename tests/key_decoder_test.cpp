// The key decoder: every terminal sequence the console understands, in all its forms, and what
// happens to anything else.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console/key_decoder.h"

namespace {

using ktr7test::DecodedKey;
using ktr7test::DecodeKey;

constexpr int kUnknown = ktr7test::kUnknownExtendedKey;

// The codes a console hands out for input, as the PC does: a character, or 0 and an extended code.
std::vector<int> DecodeAll(std::string input) {
    std::vector<int> codes;
    while (!input.empty()) {
        const DecodedKey key = DecodeKey(input, true);
        EXPECT_GE(key.length, 1u);
        EXPECT_LE(key.length, input.size());
        if (key.kind == DecodedKey::Kind::kExtended) codes.push_back(0);
        codes.push_back(key.code);
        input.erase(0, key.length);
    }
    return codes;
}

struct Sequence {
    const char *name;
    std::string bytes;
    int code;  // the extended code
};

const std::vector<Sequence> kSequences = {
    {"Up", "\x1b[A", 72},
    {"Down", "\x1b[B", 80},
    {"Right", "\x1b[C", 77},
    {"Left", "\x1b[D", 75},
    {"UpSs3", "\x1bOA", 72},
    {"DownSs3", "\x1bOB", 80},
    {"RightSs3", "\x1bOC", 77},
    {"LeftSs3", "\x1bOD", 75},
    {"Home", "\x1b[H", 71},
    {"End", "\x1b[F", 79},
    {"HomeSs3", "\x1bOH", 71},
    {"EndSs3", "\x1bOF", 79},
    {"HomeTilde", "\x1b[1~", 71},
    {"EndTilde", "\x1b[4~", 79},
    {"HomeRxvt", "\x1b[7~", 71},
    {"EndRxvt", "\x1b[8~", 79},
    {"Insert", "\x1b[2~", 82},
    {"Delete", "\x1b[3~", 83},
    {"PageUp", "\x1b[5~", 73},
    {"PageDown", "\x1b[6~", 81},
    {"F1", "\x1bOP", 59},
    {"F2", "\x1bOQ", 60},
    {"F3", "\x1bOR", 61},
    {"F4", "\x1bOS", 62},
    {"F1Rxvt", "\x1b[11~", 59},
    {"F4Rxvt", "\x1b[14~", 62},
    {"F5", "\x1b[15~", 63},
    {"F6", "\x1b[17~", 64},
    {"F7", "\x1b[18~", 65},
    {"F8", "\x1b[19~", 66},
    {"F9", "\x1b[20~", 67},
    {"F10", "\x1b[21~", 68},
    {"F11", "\x1b[23~", 133},
    {"F12", "\x1b[24~", 134},
    {"F1Linux", "\x1b[[A", 59},
    {"F5Linux", "\x1b[[E", 63},
    {"CtrlUp", "\x1b[1;5A", 72},
    {"ShiftEnd", "\x1b[1;2F", 79},
    {"ShiftF5", "\x1b[15;2~", 63},
    {"CtrlF1", "\x1b[1;5P", 59},
    {"ShiftF1Ss3", "\x1bO1;2P", 59},
    {"AltDelete", "\x1b[3;3~", 83},
    {"ShiftInsertRxvt", "\x1b[2$", 82},
    {"CtrlDeleteRxvt", "\x1b[3^", 83},
    {"ShiftTab", "\x1b[Z", 15},
    {"KeypadCentre", "\x1b[E", 76},
    {"AltQ", "\x1bq", 16},
    {"AltShiftP", "\x1bP", 25},
    {"AltA",
     "\x1b"
     "a",
     30},
    {"AltM", "\x1bm", 50},
    {"Alt1",
     "\x1b"
     "1",
     120},
    {"Alt0",
     "\x1b"
     "0",
     129},
    {"AltEquals", "\x1b=", 131},
    {"AltO", "\x1bo", 24},
    {"AltComma", "\x1b,", kUnknown},
    {"AltEnter", "\x1b\n", kUnknown},
    {"AltBackspace", "\x1b\x7f", kUnknown},
    {"UnknownCsi", "\x1b[99~", kUnknown},
    {"UnknownFinal", "\x1b[1;5u", kUnknown},
    {"PrivateCsi", "\x1b[?25h", kUnknown},
    {"WithIntermediate", "\x1b[1 q", kUnknown},
    {"FocusIn", "\x1b[I", kUnknown},
    {"UnknownSs3", "\x1bOx", kUnknown},
    {"LinuxUnknown", "\x1b[[Z", kUnknown},
    {"Huge number", "\x1b[99999999999~", kUnknown},
};

class Sequences : public testing::TestWithParam<Sequence> {};

TEST_P(Sequences, DecodeToTheirExtendedCodeWhole) {
    const Sequence &s = GetParam();
    EXPECT_EQ(DecodeAll(s.bytes), (std::vector<int>{0, s.code}));
    // The same with a key behind it: the sequence ends where it should.
    EXPECT_EQ(DecodeAll(s.bytes + "x"), (std::vector<int>{0, s.code, 'x'}));
}

TEST_P(Sequences, WaitForTheirRestWhenSplitAcrossReads) {
    const std::string &bytes = GetParam().bytes;
    for (std::size_t n = 1; n < bytes.size(); ++n) {
        EXPECT_EQ(DecodeKey(bytes.substr(0, n), false).kind, DecodedKey::Kind::kIncomplete) << n;
    }
    EXPECT_EQ(DecodeKey(bytes, false).length, bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Keys, Sequences, testing::ValuesIn(kSequences),
                         [](const testing::TestParamInfo<Sequence> &info) {
                             std::string name = info.param.name;
                             name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                             return name;
                         });

TEST(KeyDecoder, CharactersAreThemselvesBytesAbove127Included) {
    EXPECT_EQ(DecodeAll("aZ?\r\n\x7f"), (std::vector<int>{'a', 'Z', '?', '\r', '\n', 0x7F}));
    EXPECT_EQ(DecodeAll("\xc3\xa9\xe0H\xff"), (std::vector<int>{0xC3, 0xA9, 0xE0, 'H', 0xFF}));
}

TEST(KeyDecoder, NulIsAnExtendedKeySoItCannotSwallowTheNextKey) {
    EXPECT_EQ(DecodeAll(std::string("\0H", 2)), (std::vector<int>{0, 3, 'H'}));
}

TEST(KeyDecoder, ALoneEscIsEscOnlyOnceNothingMoreCanFollow) {
    EXPECT_EQ(DecodeKey("\x1b", false).kind, DecodedKey::Kind::kIncomplete);
    const DecodedKey esc = DecodeKey("\x1b", true);
    EXPECT_EQ(esc.kind, DecodedKey::Kind::kCharacter);
    EXPECT_EQ(esc.code, 27);
    EXPECT_EQ(DecodeAll("v\x1b"), (std::vector<int>{'v', 27}));
}

TEST(KeyDecoder, EscBeforeASequenceIsAltWithThatKeyNeverEsc) {
    // Alt+Up and Alt+F1 as rxvt-like terminals send them: the Up key never ends anything.
    EXPECT_EQ(DecodeAll("\x1b\x1b[A"), (std::vector<int>{0, 72}));
    EXPECT_EQ(DecodeAll("\x1b\x1bOP"), (std::vector<int>{0, 59}));
    EXPECT_EQ(DecodeKey("\x1b\x1b[", false).kind, DecodedKey::Kind::kIncomplete);
    EXPECT_EQ(DecodeAll("\x1b\x1b"), (std::vector<int>{27, 27}));
    EXPECT_EQ(DecodeAll("\x1b\x1bq"), (std::vector<int>{27, 0, 16}));
    EXPECT_EQ(DecodeAll("\x1b\x1b["), (std::vector<int>{27, 0, kUnknown}));
}

TEST(KeyDecoder, WithoutAKeyboardEscBeforeACharacterIsEscThenThatCharacter) {
    const auto decode_all = [](std::string input) {
        std::vector<int> codes;
        while (!input.empty()) {
            const DecodedKey key = DecodeKey(input, true, false);
            if (key.kind == DecodedKey::Kind::kExtended) codes.push_back(0);
            codes.push_back(key.code);
            input.erase(0, key.length);
        }
        return codes;
    };
    EXPECT_EQ(decode_all("\x1b?\x1bq\x1b["), (std::vector<int>{27, '?', 27, 'q', 27, '['}));
    EXPECT_EQ(decode_all("\x1b[A\x1bOP\x1b"), (std::vector<int>{0, 72, 0, 59, 27}));
}

TEST(KeyDecoder, SequencePrefixesCutOffByTheWaitAreConsumedAsUnknownKeys) {
    EXPECT_EQ(DecodeAll("\x1b["), (std::vector<int>{0, kUnknown}));  // Alt+[
    EXPECT_EQ(DecodeAll("\x1bO"), (std::vector<int>{0, 24}));        // Alt+O
    EXPECT_EQ(DecodeAll("\x1b[1;"), (std::vector<int>{0, kUnknown}));
    EXPECT_EQ(DecodeAll("\x1b[["), (std::vector<int>{0, kUnknown}));
}

TEST(KeyDecoder, AMalformedSequenceEndsBeforeTheByteThatBreaksIt) {
    EXPECT_EQ(DecodeAll("\x1b[1\x03q"), (std::vector<int>{0, kUnknown, 3, 'q'}));
    EXPECT_EQ(DecodeAll("\x1b[1\x1b[A"), (std::vector<int>{0, kUnknown, 0, 72}));
}

TEST(KeyDecoder, AnOverlongSequenceIsOneUnknownKeyUpToItsFinalByte) {
    std::string parameters;
    for (int i = 0; i < 20; ++i)
        parameters += "1;";
    EXPECT_EQ(DecodeAll("\x1b[" + parameters + "5A"), (std::vector<int>{0, 72}));
    EXPECT_EQ(DecodeAll("\x1b[" + std::string(100, '1') + "~"), (std::vector<int>{0, kUnknown}));
}

TEST(PositionReport, FoundAmongKeysTypedMeanwhile) {
    const auto report = ktr7test::FindPositionReport("ab\x1b[A\x1b[12;34Rc");
    EXPECT_EQ(report.offset, 5u);
    EXPECT_EQ(report.length, 8u);
    EXPECT_EQ(report.row, 12);
    EXPECT_EQ(report.column, 34);
    EXPECT_EQ(ktr7test::FindPositionReport("\x1b[12;34").length, 0u);
    EXPECT_EQ(ktr7test::FindPositionReport("\x1b[;34R").length, 0u);
    EXPECT_EQ(ktr7test::FindPositionReport("\x1b[1;5A").length, 0u);
}

}  // namespace
