#include "catalogue/scan_number.h"

#include <cstdint>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The digit's value in bases up to 16, or 16 when it is none.
unsigned DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 16;
}

}  // namespace

// Not sscanf: a number out of range is undefined there, and the C libraries
// differ (MinGW's holds it at the limit, glibc's wraps at 64 bits).
bool ScanNumber(const std::string& text, int& value)
{
    value = 0;
    size_t at = 0;
    size_t end = text.size();
    while (at < end && IsSpace(text[at]))
        ++at;
    bool negative = at < end && text[at] == '-';
    if (at < end && (text[at] == '-' || text[at] == '+'))
        ++at;
    unsigned base = 10;
    if (at < end && text[at] == '0') {
        base = 8;
        bool hex = at + 1 < end && (text[at + 1] == 'x' || text[at + 1] == 'X');
        if (hex && at + 2 < end && DigitValue(text[at + 2]) < 16) {
            base = 16;
            at += 2;
        }
    }
    size_t first = at;
    uint32_t number = 0;  // wraps: the low 32 bits of the whole number
    for (; at < end && DigitValue(text[at]) < base; ++at)
        number = number * base + DigitValue(text[at]);
    if (at == first)
        return false;
    value = static_cast<int32_t>(negative ? 0u - number : number);
    return true;
}
