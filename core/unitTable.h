#pragma once

#include <cstddef>
#include <cstdint>

struct parameterRecord;

// How a parameter kind shows its value.
enum class displayFormat {
    fixed2,    // "%.02f"
    percent21, // "%2.1f"
    integer,   // "%d" of the value truncated toward zero
    onOff,     // "Off" for exactly 0, "On" otherwise
};

// How a parameter kind maps between plain and normalised values.
enum class valueMapping {
    linear,
    logarithmic,
};

struct unitRow {
    const char* label;
    displayFormat format;
    valueMapping mapping;
};

constexpr int32_t kUnitKindCount = 30;
constexpr int32_t kSwitchKind = 2;
constexpr int32_t kLogarithmicKind = 27;
constexpr int32_t kStringKind = 28;
constexpr int32_t kChunkKind = 29;

// The row of a kind; a kind outside 0..29 gets a neutral row (empty label,
// "%.02f", linear) rather than a read past the table.
const unitRow& unitFor(int32_t kind);

// Plain value from a normalised position x, by the kind's mapping. No
// clamping. A range of zero width gives the minimum.
float plainFromNormalized(const parameterRecord& parameter, float x);

// Normalised position of a plain value, by the kind's mapping. No clamping. A
// range of zero width gives 0.
float normalizedFromPlain(const parameterRecord& parameter, float value);

// Clamps value into the parameter's range: above the maximum it becomes the
// maximum, below the minimum the minimum. NaN is left as it is.
void clampToRange(const parameterRecord& parameter, float& value);

// Writes the display text of the parameter's value (NUL-terminated) into
// text and returns its length. The longest possible text is shorter than
// kDisplayTextSize.
constexpr size_t kDisplayTextSize = 64;
size_t formatDisplay(const parameterRecord& parameter, char* text);
