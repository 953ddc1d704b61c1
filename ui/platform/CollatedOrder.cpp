#include "CollatedOrder.h"

#include "AnsiText.h"
#include "Windows1252.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <utility>

namespace {

std::string_view Text(std::string_view texts, const TTextStarts& starts, std::uint32_t i)
{
    return texts.substr(starts[i], starts[i + 1] - starts[i]);
}

// The key of a text in the C locale: each byte replaced by the rank of its
// character, case-folded unless case counts, among the characters that occur,
// counted from 1, in as few bytes as the number of ranks allows (one, unless
// case counts and all 256 bytes occur), big-endian. Keys compare byte by byte
// as the texts compare unit by unit, and a key that ends compares below any
// key that goes on, as it should, since no unit of a key is 0. So where two
// keys agree on bytes that one of them has run out of, the two are the same.
class TTextKeys {
public:
    TTextKeys(bool fold, std::string_view texts, const TTextStarts& starts) : FTexts(texts), FStarts(starts)
    {
        std::array<bool, 256> occurs{};
        for (const char byte : texts)
            occurs[static_cast<unsigned char>(byte)] = true;
        std::array<char32_t, 256> units{};
        std::vector<char32_t> present;
        for (std::size_t byte = 0; byte < units.size(); ++byte) {
            const char32_t unit = Windows1252ToUnicode(static_cast<unsigned char>(byte));
            units[byte] = fold ? QChar::toCaseFolded(unit) : unit;
            if (occurs[byte])
                present.push_back(units[byte]);
        }
        std::sort(present.begin(), present.end());
        present.erase(std::unique(present.begin(), present.end()), present.end());
        for (std::size_t byte = 0; byte < units.size(); ++byte)
            FRanks[byte] = static_cast<std::uint16_t>(
                std::lower_bound(present.begin(), present.end(), units[byte]) - present.begin() + 1);
        FWidth = present.size() <= 0xFF ? 1 : 2;
    }

    // The length of text i's key in bytes.
    std::size_t Length(std::uint32_t i) const { return std::size_t{FStarts[i + 1] - FStarts[i]} * FWidth; }

    // The eight bytes of text i's key from byte `from` on (a multiple of 8) in
    // one number, the first byte highest; bytes past the end are 0.
    std::uint64_t Digit(std::uint32_t i, std::size_t from) const
    {
        const std::string_view text = Text(FTexts, FStarts, i);
        std::uint64_t digit = 0;
        const std::size_t first = from / FWidth;
        for (std::size_t unit = first; unit < first + 8 / FWidth; ++unit)
            digit = (digit << (8 * FWidth)) | (unit < text.size() ? FRanks[static_cast<unsigned char>(text[unit])] : 0u);
        return digit;
    }

private:
    std::string_view FTexts;
    const TTextStarts& FStarts;
    std::array<std::uint16_t, 256> FRanks{};
    std::size_t FWidth = 1;
};

// A text and sixteen bytes of its key, from the depth where the texts being
// sorted start to differ.
struct TDigitKey {
    std::uint64_t High;
    std::uint64_t Low;
    std::uint32_t Text;
};

using TDigitKeys = std::vector<TDigitKey, THugePageAllocator<TDigitKey>>;

// Fewer keys than this are sorted by comparisons, more by their bytes.
constexpr std::ptrdiff_t RadixMinKeys = 256;

// Sorts keys that are in the order of their texts' numbers by one digit,
// keeping that order among equal digits.
template <std::uint64_t TDigitKey::*Digit>
void SortByDigit(TDigitKey* begin, TDigitKey* end, TDigitKey* scratch)
{
    if (end - begin < RadixMinKeys) {
        std::sort(begin, end, [](const TDigitKey& a, const TDigitKey& b) {
            return a.*Digit != b.*Digit ? a.*Digit < b.*Digit : a.Text < b.Text;
        });
        return;
    }
    // A counting pass per byte of the digits, lowest first, passing over the
    // bytes that all keys share.
    constexpr int Bytes = sizeof(std::uint64_t);
    const auto count = static_cast<std::uint32_t>(end - begin);
    std::array<std::array<std::uint32_t, 256>, Bytes> places{};
    for (const TDigitKey* key = begin; key != end; ++key)
        for (int byte = 0; byte < Bytes; ++byte)
            ++places[byte][(key->*Digit >> (8 * byte)) & 0xFF];
    TDigitKey* from = begin;
    TDigitKey* to = scratch;
    for (int byte = 0; byte < Bytes; ++byte) {
        std::array<std::uint32_t, 256>& place = places[byte];
        if (place[(from->*Digit >> (8 * byte)) & 0xFF] == count)
            continue;
        std::uint32_t next = 0;
        for (std::uint32_t& slot : place)
            next += std::exchange(slot, next);
        for (const TDigitKey* key = from; key != from + count; ++key)
            to[place[(key->*Digit >> (8 * byte)) & 0xFF]++] = *key;
        std::swap(from, to);
    }
    if (from != begin)
        std::copy(from, from + count, begin);
}

// Calls sorted(begin, end) for each run of two or more keys with equal digits.
template <std::uint64_t TDigitKey::*Digit, class TRunFound>
void ForEachTie(TDigitKey* begin, TDigitKey* end, TRunFound runFound)
{
    for (TDigitKey* run = begin; run != end;) {
        TDigitKey* runEnd = run + 1;
        while (runEnd != end && runEnd->*Digit == run->*Digit)
            ++runEnd;
        if (runEnd - run > 1)
            runFound(run, runEnd);
        run = runEnd;
    }
}

// Sorts the keys most significant digit first: all by the first sixteen
// bytes, then each run that ties on them by the next sixteen, until the keys
// end. Keys that tie up to their end are equal texts, left in the order of
// their numbers.
TTextOrder UnitOrder(bool fold, std::string_view texts, const TTextStarts& starts)
{
    const TTextKeys textKeys(fold, texts, starts);
    const auto count = static_cast<std::uint32_t>(starts.size() - 1);
    TDigitKeys keys(count);
    for (std::uint32_t i = 0; i < count; ++i)
        keys[i].Text = i;
    TDigitKeys scratch(count);

    struct TRun {
        std::uint32_t Begin;
        std::uint32_t End;
        std::size_t Depth;
    };
    std::vector<TRun> runs{{0, count, 0}};
    while (!runs.empty()) {
        const TRun run = runs.back();
        runs.pop_back();
        TDigitKey* const first = keys.data();
        for (TDigitKey* key = first + run.Begin; key != first + run.End; ++key) {
            key->High = textKeys.Digit(key->Text, run.Depth);
            key->Low = textKeys.Digit(key->Text, run.Depth + 8);
        }
        SortByDigit<&TDigitKey::High>(first + run.Begin, first + run.End, scratch.data());
        ForEachTie<&TDigitKey::High>(first + run.Begin, first + run.End, [&](TDigitKey* begin, TDigitKey* end) {
            if (textKeys.Length(begin->Text) < run.Depth + 8)
                return;
            SortByDigit<&TDigitKey::Low>(begin, end, scratch.data());
            ForEachTie<&TDigitKey::Low>(begin, end, [&](TDigitKey* tieBegin, TDigitKey* tieEnd) {
                if (textKeys.Length(tieBegin->Text) >= run.Depth + 16)
                    runs.push_back({static_cast<std::uint32_t>(tieBegin - first),
                                    static_cast<std::uint32_t>(tieEnd - first), run.Depth + 16});
            });
        });
    }
    TTextOrder order(count);
    std::transform(keys.begin(), keys.end(), order.begin(), [](const TDigitKey& key) { return key.Text; });
    return order;
}

TTextOrder SortKeyOrder(const QCollator& collator, std::string_view texts, const TTextStarts& starts)
{
    const std::uint32_t count = static_cast<std::uint32_t>(starts.size() - 1);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        keys.push_back(collator.sortKey(AnsiToQString(Text(texts, starts, i))));
    TTextOrder order(count);
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    // The collator puts an empty text before every other, also before one
    // whose characters all collate as nothing, which the keys do not tell
    // from it.
    const auto empty = [&](std::uint32_t i) { return starts[i + 1] == starts[i]; };
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (empty(a) != empty(b))
            return empty(a);
        const int compared = keys[a].compare(keys[b]);
        return compared != 0 ? compared < 0 : a < b;
    });
    return order;
}

} // namespace

TTextOrder CollatedOrder(const QCollator& collator, std::string_view texts, const TTextStarts& starts)
{
    if (starts.size() < 2)
        return {};
    if (collator.locale().language() == QLocale::C)
        return UnitOrder(collator.caseSensitivity() == Qt::CaseInsensitive, texts, starts);
    return SortKeyOrder(collator, texts, starts);
}
