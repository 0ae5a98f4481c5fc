#include "core/unitTable.h"

#include <cmath>
#include <cstring>

#include "core/numberText.h"
#include "core/parameterRecord.h"

namespace {

constexpr displayFormat kFixed2 = displayFormat::fixed2;
constexpr valueMapping kLinear = valueMapping::linear;

const unitRow kRows[kUnitKindCount] = {
    {"Cents", kFixed2, kLinear},                 // 0
    {"Beats", kFixed2, kLinear},                 // 1
    {"", displayFormat::onOff, kLinear},         // 2: switch
    {"BPM", kFixed2, kLinear},                   // 3
    {"Ct", kFixed2, kLinear},                    // 4
    {" ", displayFormat::integer, kLinear},      // 5
    {"dB", kFixed2, kLinear},                    // 6
    {"Deg", kFixed2, kLinear},                   // 7
    {"X-fade", kFixed2, kLinear},                // 8
    {"", kFixed2, kLinear},                      // 9
    {"Hz", kFixed2, kLinear},                    // 10
    {"Note", kFixed2, kLinear},                  // 11
    {"", kFixed2, kLinear},                      // 12
    {"CC", kFixed2, kLinear},                    // 13
    {"Note", kFixed2, kLinear},                  // 14
    {"Meters", kFixed2, kLinear},                // 15
    {"ms", kFixed2, kLinear},                    // 16
    {"", kFixed2, kLinear},                      // 17
    {"Octave", kFixed2, kLinear},                // 18
    {"Pan", kFixed2, kLinear},                   // 19
    {"%", displayFormat::percent21, kLinear},    // 20
    {"Phase", kFixed2, kLinear},                 // 21
    {"Rate", kFixed2, kLinear},                  // 22
    {"Ratio", kFixed2, kLinear},                 // 23
    {"Semitones", kFixed2, kLinear},             // 24
    {"Frames", displayFormat::integer, kLinear}, // 25
    {"Sec", kFixed2, kLinear},                   // 26
    {"Hz", kFixed2, valueMapping::logarithmic},  // 27
    {"String", kFixed2, kLinear},                // 28
    {"Chunk", kFixed2, kLinear},                 // 29
};

const unitRow kNeutralRow = {"", kFixed2, kLinear};

// Natural logarithm rounded to float before any use, as both directions of
// the logarithmic mapping require.
float logOf(float value) {
    return static_cast<float>(std::log(static_cast<double>(value)));
}

} // namespace

const unitRow& unitFor(int32_t kind) {
    if (kind < 0 || kind >= kUnitKindCount) {
        return kNeutralRow;
    }
    return kRows[kind];
}

float plainFromNormalized(const parameterRecord& parameter, float x) {
    if (!(parameter.maximum != parameter.minimum)) {
        return parameter.minimum;
    }
    if (unitFor(parameter.kind).mapping == valueMapping::logarithmic) {
        const float l0 = logOf(parameter.minimum);
        const float l1 = logOf(parameter.maximum);
        const float t = static_cast<float>(static_cast<double>(l0) +
                                           (static_cast<double>(l1) - static_cast<double>(l0)) *
                                               static_cast<double>(x));
        return toFloat(std::exp(static_cast<double>(t)));
    }
    const double minimum = parameter.minimum;
    const double maximum = parameter.maximum;
    return toFloat(minimum + (maximum - minimum) * static_cast<double>(x));
}

float normalizedFromPlain(const parameterRecord& parameter, float value) {
    if (!(parameter.maximum != parameter.minimum)) {
        return 0.0f;
    }
    if (unitFor(parameter.kind).mapping == valueMapping::logarithmic) {
        const double l0 = logOf(parameter.minimum);
        const double l1 = logOf(parameter.maximum);
        return toFloat((static_cast<double>(logOf(value)) - l0) / (l1 - l0));
    }
    const double minimum = parameter.minimum;
    const double maximum = parameter.maximum;
    return toFloat((static_cast<double>(value) - minimum) / (maximum - minimum));
}

void clampToRange(const parameterRecord& parameter, float& value) {
    if (value > parameter.maximum) {
        value = parameter.maximum;
    } else if (value < parameter.minimum) {
        value = parameter.minimum;
    }
}

size_t formatDisplay(const parameterRecord& parameter, char* text) {
    switch (unitFor(parameter.kind).format) {
    case displayFormat::onOff: {
        const char* shown = parameter.value == 0.0f ? "Off" : "On";
        std::memcpy(text, shown, std::strlen(shown) + 1);
        return std::strlen(shown);
    }
    case displayFormat::integer:
        return formatInteger(truncateToInt32(parameter.value), text, kDisplayTextSize);
    case displayFormat::percent21: {
        // "%2.1f": at least two characters wide, which any number with one
        // decimal already is.
        return formatFixed(static_cast<double>(parameter.value), 1, text, kDisplayTextSize);
    }
    case displayFormat::fixed2:
        break;
    }
    return formatFixed(static_cast<double>(parameter.value), 2, text, kDisplayTextSize);
}
