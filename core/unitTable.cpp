#include "core/unitTable.h"

#include <cmath>
#include <cstring>

#include "core/numberText.h"
#include "core/parameterRecord.h"

namespace {

constexpr displayFormat f2 = displayFormat::fixed2;
constexpr valueMapping lin = valueMapping::linear;

const unitRow rows[unitKindCount] = {
    {"Cents", f2, lin},                      // 0
    {"Beats", f2, lin},                      // 1
    {"", displayFormat::onOff, lin},         // 2: switch
    {"BPM", f2, lin},                        // 3
    {"Ct", f2, lin},                         // 4
    {" ", displayFormat::integer, lin},      // 5
    {"dB", f2, lin},                         // 6
    {"Deg", f2, lin},                        // 7
    {"X-fade", f2, lin},                     // 8
    {"", f2, lin},                           // 9
    {"Hz", f2, lin},                         // 10
    {"Note", f2, lin},                       // 11
    {"", f2, lin},                           // 12
    {"CC", f2, lin},                         // 13
    {"Note", f2, lin},                       // 14
    {"Meters", f2, lin},                     // 15
    {"ms", f2, lin},                         // 16
    {"", f2, lin},                           // 17
    {"Octave", f2, lin},                     // 18
    {"Pan", f2, lin},                        // 19
    {"%", displayFormat::percent21, lin},    // 20
    {"Phase", f2, lin},                      // 21
    {"Rate", f2, lin},                       // 22
    {"Ratio", f2, lin},                      // 23
    {"Semitones", f2, lin},                  // 24
    {"Frames", displayFormat::integer, lin}, // 25
    {"Sec", f2, lin},                        // 26
    {"Hz", f2, valueMapping::logarithmic},   // 27
    {"String", f2, lin},                     // 28
    {"Chunk", f2, lin},                      // 29
};

const unitRow neutralRow = {"", f2, lin};

// Natural logarithm rounded to float before any use, as both directions of
// the logarithmic mapping require.
float logOf(float value) {
    return static_cast<float>(std::log(static_cast<double>(value)));
}

} // namespace

const unitRow& unitFor(int32_t kind) {
    if (kind < 0 || kind >= unitKindCount) {
        return neutralRow;
    }
    return rows[kind];
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
        return formatInteger(truncateToInt32(parameter.value), text, displayTextSize);
    case displayFormat::percent21: {
        // "%2.1f": at least two characters wide, which any number with one
        // decimal already is.
        return formatFixed(static_cast<double>(parameter.value), 1, text, displayTextSize);
    }
    case displayFormat::fixed2:
        break;
    }
    return formatFixed(static_cast<double>(parameter.value), 2, text, displayTextSize);
}
