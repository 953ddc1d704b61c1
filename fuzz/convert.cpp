// StrToInt on arbitrary text, checked against a plain restatement of the rule:
// the same texts convert, to the same value, and every refusal carries the
// message of its text.
#include "Convert.h"
#include "Errors.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

bool IsDecimal(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHex(char c)
{
    return IsDecimal(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Digits without their leading zeros, compared as numbers by length first.
bool AtMost(std::string_view digits, std::string_view limit)
{
    while (digits.size() > 1 && digits.front() == '0')
        digits.remove_prefix(1);
    return digits.size() < limit.size() || (digits.size() == limit.size() && digits <= limit);
}

std::optional<std::int32_t> Expected(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    std::string_view hex;
    if (text.starts_with("0x") || text.starts_with("0X"))
        hex = text.substr(2);
    else if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X'))
        hex = text.substr(1);
    if (hex.data() != nullptr) {
        if (hex.empty())
            return std::nullopt;
        for (const char c : hex)
            if (!IsHex(c))
                return std::nullopt;
        while (hex.size() > 1 && hex.front() == '0')
            hex.remove_prefix(1);
        if (hex.size() > 8)
            return std::nullopt;
        return static_cast<std::int32_t>(std::strtoul(std::string(hex).c_str(), nullptr, 16));
    }
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    for (const char c : text)
        if (!IsDecimal(c))
            return std::nullopt;
    if (!AtMost(text, negative ? "2147483648" : "2147483647"))
        return std::nullopt;
    const long long magnitude = std::strtoll(std::string(text).c_str(), nullptr, 10);
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> expected = Expected(text);
    try {
        const std::int32_t value = StrToInt(text);
        if (!expected || *expected != value)
            std::abort();
    } catch (const EConvertError& error) {
        if (expected || error.what() != InvalidIntegerMessage(text))
            std::abort();
    }
    return 0;
}
