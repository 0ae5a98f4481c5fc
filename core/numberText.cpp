#include "core/numberText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Sign of the decimal (or, for hex, binary) exponent of a number's first
// significant digit: tells an overflowing text from an underflowing one.
bool overflows(const char* begin, const char* end, bool hex) {
    int64_t magnitude = 0;
    bool seenPoint = false;
    bool seenSignificant = false;
    int64_t integerDigits = 0;
    int64_t fractionZeros = 0;
    const char* p = begin;
    const char exponentMark = hex ? 'p' : 'e';
    for (; p < end && (*p | 0x20) != exponentMark; ++p) {
        if (*p == '.') {
            seenPoint = true;
        } else if (!seenSignificant && *p == '0') {
            fractionZeros += seenPoint ? 1 : 0;
        } else {
            seenSignificant = true;
            integerDigits += seenPoint ? 0 : 1;
        }
    }
    if (!seenSignificant) {
        return false;
    }
    const int64_t digitWeight = hex ? 4 : 1;
    magnitude =
        integerDigits > 0 ? (integerDigits - 1) * digitWeight : -(fractionZeros + 1) * digitWeight;
    if (p < end) {
        ++p;
        bool negative = false;
        if (p < end && (*p == '+' || *p == '-')) {
            negative = *p == '-';
            ++p;
        }
        int64_t exponent = 0;
        for (; p < end && isDecimalDigit(*p); ++p) {
            if (exponent < 1000000000) {
                exponent = exponent * 10 + (*p - '0');
            }
        }
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude > 0;
}

} // namespace

size_t formatFixed(double value, int precision, char* out, size_t size) {
    if (out == nullptr || size == 0) {
        return 0;
    }
    const std::to_chars_result result =
        std::to_chars(out, out + size - 1, value, std::chars_format::fixed, precision);
    if (result.ec != std::errc()) {
        out[0] = '\0';
        return 0;
    }
    *result.ptr = '\0';
    return static_cast<size_t>(result.ptr - out);
}

size_t formatInteger(int64_t value, char* out, size_t size) {
    if (out == nullptr || size == 0) {
        return 0;
    }
    const std::to_chars_result result = std::to_chars(out, out + size - 1, value);
    if (result.ec != std::errc()) {
        out[0] = '\0';
        return 0;
    }
    *result.ptr = '\0';
    return static_cast<size_t>(result.ptr - out);
}

double readDouble(const char* text) {
    if (text == nullptr) {
        return 0.0;
    }
    const char* p = text;
    while (isBlank(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (*p == '-' || *p == '+') {
        return 0.0; // one sign only
    }
    const char* end = p + std::strlen(p);
    bool hex = false;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        (isHexDigit(p[2]) || (p[2] == '.' && isHexDigit(p[3])))) {
        hex = true;
        p += 2;
    }
    double value = 0.0;
    const std::from_chars_result result =
        std::from_chars(p, end, value, hex ? std::chars_format::hex : std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = overflows(p, result.ptr, hex) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        return 0.0; // no number: no sign either
    }
    return negative ? -value : value;
}

int32_t readInteger(const char* text, bool* numeric) {
    if (numeric != nullptr) {
        *numeric = false;
    }
    if (text == nullptr) {
        return 0;
    }
    const char* p = text;
    while (isBlank(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    bool digits = false;
    for (; isDecimalDigit(*p); ++p) {
        digits = true;
        if (value < limit) {
            value = value * 10 + (*p - '0');
            if (value > limit) {
                value = limit;
            }
        }
    }
    if (numeric != nullptr) {
        *numeric = digits;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

float toFloat(double value) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    // Half a unit in the last place above the largest float rounds to
    // infinity (ties go to the even neighbour, which is infinity here).
    constexpr double kOverflowAt = kLargest + 0x1p103;
    if (std::isnan(value)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    if (std::fabs(value) >= kOverflowAt) {
        return value < 0 ? -std::numeric_limits<float>::infinity()
                         : std::numeric_limits<float>::infinity();
    }
    if (std::fabs(value) > kLargest) {
        return value < 0 ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max();
    }
    return static_cast<float>(value);
}

int32_t truncateToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483648.0) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= -2147483649.0) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}
