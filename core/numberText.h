#pragma once

#include <cstddef>
#include <cstdint>

// Numbers as text with a decimal point whatever the process locale: hosts
// often set LC_NUMERIC, and a preset written as "3,500000" would read back
// as 3.

// printf's "%.<precision>f" of value into out (NUL-terminated); returns the
// length, or 0 when out is too small. kFixedTextSize holds any double with up
// to six decimals.
constexpr size_t kFixedTextSize = 330;
size_t formatFixed(double value, int precision, char* out, size_t size);

// printf's "%d" of value into out (NUL-terminated); returns the length.
size_t formatInteger(int64_t value, char* out, size_t size);

// atof of the text: blanks skipped, the longest valid prefix taken (decimal,
// hexadecimal, inf, nan), 0 when there is none; out of range gives infinity
// or zero with the text's sign.
double readDouble(const char* text);

// atoi of the text, saturated to the 32-bit range instead of overflowing.
// numeric, when given, tells whether the text began with a number at all.
int32_t readInteger(const char* text, bool* numeric = nullptr);

// The double as a float, rounded as usual; beyond the float range it becomes
// the largest float or infinity, as the hardware would round it.
float toFloat(double value);

// The value truncated toward zero, saturated to the 32-bit range; NaN gives 0.
int32_t truncateToInt32(double value);
