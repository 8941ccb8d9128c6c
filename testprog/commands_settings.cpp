// Laser, detector and decoder settings: the lower-case key reads a setting and prints it, the
// upper-case key asks for a new value, checks it against the command's own range and writes it.
// An entry that is not a complete number, like the end of the input, is refused as an entry out
// of range is: nothing is sent, so a typing error never disables the laser, zeroes the phase or
// rewrites an axis of the decoder.
#include <array>
#include <optional>
#include <string>

#include "KTR-7.h"
#include "commands.h"
#include "number_entry.h"

namespace ktr7test {
namespace {

// The accepted range of an entry, both bounds included; prompts and messages show the bounds
// as integers.
struct Bounds {
    int32_t lower;
    int32_t upper;
};

constexpr Bounds kLaserState{0, 1};
constexpr Bounds kIntensity{1, 100};
constexpr Bounds kDutyCycle{1, 99};
constexpr Bounds kPhase{-180, 180};
constexpr Bounds kAmplification{1, 100};
constexpr Bounds kDecoderChannel{0, 1};
constexpr Bounds kDecoderChoice{0, 3};

bool OutOfRange(int32_t entry, Bounds bounds) {
    return entry < bounds.lower || entry > bounds.upper;
}

// Compared in single precision. The lower test asks whether the entry is at least the lower
// bound, so a NaN fails it.
bool OutOfRange(float entry, Bounds bounds) {
    return !(entry >= static_cast<float>(bounds.lower)) || entry > static_cast<float>(bounds.upper);
}

// The next entry as a decimal integer; nothing when it is not one or the input has ended.
std::optional<int32_t> EnterInteger(Program &program) {
    const std::optional<std::string> word = ReadEntryWord(program.console);
    if (!word) return std::nullopt;
    return ParseInteger(*word);
}

// The next entry as a decimal number; nothing when it is not one or the input has ended.
std::optional<float> EnterFloat(Program &program) {
    const std::optional<std::string> word = ReadEntryWord(program.console);
    if (!word) return std::nullopt;
    return ParseFloat(*word);
}

void WrongValue(Program &program) {
    Print(program.console, "Wrong value specified!\n");
}

const char *StateText(uint8_t enabled) {
    return enabled != 0 ? "enabled" : "disabled";
}

// The output of a decoder axis, by the configuration choice that selects it: the Plain flag is
// set for the choices 2 and 3, the Swapped flag for 1 and 3.
struct AxisTexts {
    const char *x;
    const char *y;
};

constexpr std::array<AxisTexts, 4> kAxisTexts = {{
    {"(X1-X2)/2S", "(Y1-Y2)/2S"},
    {"(X2-X1)/2S", "(Y2-Y1)/2S"},
    {"X1-X2", "Y1-Y2"},
    {"X2-X1", "Y2-Y1"},
}};

constexpr std::size_t AxisChoice(uint8_t plain, uint8_t swapped) {
    return (plain != 0 ? 2 : 0) + (swapped != 0 ? 1 : 0);
}

struct DecoderFlags {
    uint8_t x_plain = 0;
    uint8_t y_plain = 0;
    uint8_t x_swapped = 0;
    uint8_t y_swapped = 0;

    const char *XText() const { return kAxisTexts[AxisChoice(x_plain, x_swapped)].x; }
    const char *YText() const { return kAxisTexts[AxisChoice(y_plain, y_swapped)].y; }
};

}  // namespace

void GetLaserState(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting laser state:\n");
    uint8_t enabled = 0;
    if (KTR_7_GetLaserState(&enabled) != 0) return Fail(program, "KTR_7_GetLaserState");
    Print(program.console, "Laser state: %s\n", StateText(enabled));
}

void SetLaserState(Program &program, int) {
    if (program.debug()) Print(program.console, "Setting laser state:\n");
    Print(program.console, "Enter the new laser state (disabled:0, enabled:1): ");
    const std::optional<int32_t> state = EnterInteger(program);
    if (!state || OutOfRange(*state, kLaserState)) return WrongValue(program);
    const uint8_t enabled = *state == 1 ? 1 : 0;
    if (KTR_7_SetLaserState(enabled) != 0) return Fail(program, "KTR_7_SetLaserState");
    if (program.debug()) Print(program.console, "Laser state set: %s\n", StateText(enabled));
}

void GetLaserIntensity(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting laser intensity:\n");
    float percent = 0.0F;
    if (KTR_7_GetLaserIntensity(&percent) != 0) return Fail(program, "KTR_7_GetLaserIntensity");
    Print(program.console, "Laser intensity: %.1f%%\n", static_cast<double>(percent));
}

// The confirmation shows the value as entered; the library's clamping and rounding to tenths
// do not show in it.
void SetLaserIntensity(Program &program, int) {
    if (program.debug()) Print(program.console, "Setting laser intensity:\n");
    Print(program.console, "Enter the new laser intensity (%d-%d): ", kIntensity.lower,
          kIntensity.upper);
    const std::optional<float> percent = EnterFloat(program);
    if (!percent || OutOfRange(*percent, kIntensity)) {
        return Print(program.console,
                     "Wrong value specified! The intensity must be in the range from %d to %d.\n",
                     kIntensity.lower, kIntensity.upper);
    }
    if (KTR_7_SetLaserIntensity(*percent) != 0) return Fail(program, "KTR_7_SetLaserIntensity");
    if (program.debug()) {
        Print(program.console, "Laser intensity set: %.1f%%\n", static_cast<double>(*percent));
    }
}

void GetLaserDutyCycle(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting laser duty cycle:\n");
    float percent = 0.0F;
    if (KTR_7_GetLaserDC(&percent) != 0) return Fail(program, "KTR_7_GetLaserDC");
    Print(program.console, "Laser duty cycle: %.1f%%\n", static_cast<double>(percent));
}

void SetLaserDutyCycle(Program &program, int) {
    if (program.debug()) Print(program.console, "Setting laser duty cycle:\n");
    Print(program.console, "Enter the new laser duty cycle (%d-%d): ", kDutyCycle.lower,
          kDutyCycle.upper);
    const std::optional<float> percent = EnterFloat(program);
    if (!percent || OutOfRange(*percent, kDutyCycle)) {
        return Print(program.console,
                     "Wrong value specified! The duty cycle must be in the range from %d to %d.\n",
                     kDutyCycle.lower, kDutyCycle.upper);
    }
    if (KTR_7_SetLaserDC(*percent) != 0) return Fail(program, "KTR_7_SetLaserDC");
    if (program.debug()) {
        Print(program.console, "Laser duty cycle set: %.1f%%\n", static_cast<double>(*percent));
    }
}

void GetLaserPhase(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting laser phase:\n");
    int32_t degrees = 0;
    if (KTR_7_GetLaserPhase(&degrees) != 0) return Fail(program, "KTR_7_GetLaserPhase");
    Print(program.console, "Laser phase: %+d deg\n", degrees);
}

void SetLaserPhase(Program &program, int) {
    if (program.debug()) Print(program.console, "Setting laser phase:\n");
    Print(program.console, "Enter the new laser phase (%+d-%+d): ", kPhase.lower, kPhase.upper);
    const std::optional<int32_t> degrees = EnterInteger(program);
    if (!degrees || OutOfRange(*degrees, kPhase)) {
        return Print(program.console,
                     "Wrong value specified! The phase must be in the range from %d to %d.\n",
                     kPhase.lower, kPhase.upper);
    }
    if (KTR_7_SetLaserPhase(*degrees) != 0) return Fail(program, "KTR_7_SetLaserPhase");
    if (program.debug()) Print(program.console, "Laser phase set: %+d deg\n", *degrees);
}

void GetAmplification(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting detector amplification:\n");
    float factor = 0.0F;
    if (KTR_7_GetDetectorAmplification(&factor) != 0) {
        return Fail(program, "KTR_7_GetDetectorAmplification");
    }
    Print(program.console, "Detector amplification: %.2f\n", static_cast<double>(factor));
}

void SetAmplification(Program &program, int) {
    if (program.debug()) Print(program.console, "Setting detector amplification:\n");
    Print(program.console, "Enter the new amplification (%d-%d): ", kAmplification.lower,
          kAmplification.upper);
    const std::optional<float> factor = EnterFloat(program);
    if (!factor || OutOfRange(*factor, kAmplification)) {
        return Print(
            program.console,
            "Wrong value specified! The amplification must be in the range from %d to %d.\n",
            kAmplification.lower, kAmplification.upper);
    }
    if (KTR_7_SetDetectorAmplification(*factor) != 0) {
        return Fail(program, "KTR_7_SetDetectorAmplification");
    }
    if (program.debug()) {
        Print(program.console, "Detector amplification set: %.2f\n", static_cast<double>(*factor));
    }
}

void GetDecoderConfiguration(Program &program, int) {
    if (program.debug()) Print(program.console, "Getting decoder configuration:\n");
    DecoderFlags flags;
    if (KTR_7_GetDecoderConfiguration(&flags.x_plain, &flags.y_plain, &flags.x_swapped,
                                      &flags.y_swapped) != 0) {
        return Fail(program, "KTR_7_GetDecoderConfiguration");
    }
    Print(program.console, "Decoder configuration: X=%s,\tY=%s,\tS=(X1+X2+Y1+Y2)/4\n",
          flags.XText(), flags.YText());
}

// One axis at a time: the device's configuration is read every time and written back with only
// the chosen axis changed, so whatever set the other axis survives.
void SetDecoderConfiguration(Program &program, int) {
    if (program.debug()) Print(program.console, "Setting decoder configuration:\n");
    Print(program.console, "Enter the channel number (X=0, Y=1): ");
    const std::optional<int32_t> channel = EnterInteger(program);
    if (!channel || OutOfRange(*channel, kDecoderChannel)) return WrongValue(program);
    const char axis = *channel == 0 ? 'X' : 'Y';
    Print(program.console,
          "Enter the new decoder configuration ((%c1-%c2)/2S:0, (%c2-%c1)/2S:1, %c1-%c2:2, "
          "%c2-%c1:3): ",
          axis, axis, axis, axis, axis, axis, axis, axis);
    const std::optional<int32_t> choice = EnterInteger(program);
    if (!choice || OutOfRange(*choice, kDecoderChoice)) return WrongValue(program);

    DecoderFlags flags;
    if (KTR_7_GetDecoderConfiguration(&flags.x_plain, &flags.y_plain, &flags.x_swapped,
                                      &flags.y_swapped) != 0) {
        return Fail(program, "KTR_7_GetDecoderConfiguration");
    }
    const uint8_t plain = *choice / 2 != 0 ? 1 : 0;
    const uint8_t swapped = *choice % 2 != 0 ? 1 : 0;
    if (axis == 'X') {
        flags.x_plain = plain;
        flags.x_swapped = swapped;
    } else {
        flags.y_plain = plain;
        flags.y_swapped = swapped;
    }
    if (KTR_7_SetDecoderConfiguration(flags.x_plain, flags.y_plain, flags.x_swapped,
                                      flags.y_swapped) != 0) {
        return Fail(program, "KTR_7_SetDecoderConfiguration");
    }
    if (program.debug()) {
        Print(program.console, "Decoder configuration set: X=%s,\tY=%s,\tS=(X1+X2+Y1+Y2)/4\n",
              flags.XText(), flags.YText());
    }
}

}  // namespace ktr7test
