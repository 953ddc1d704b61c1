#include "CollatedOrder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <numeric>
#include <utility>

namespace {

QStringView Text(QStringView texts, const TTextStarts& starts, std::uint32_t i)
{
    return texts.sliced(starts[i], starts[i + 1] - starts[i]);
}

// The unit that the C locale's comparison compares for unit i of a text.
class TUnitFolding {
public:
    explicit TUnitFolding(bool fold) : FFold(fold)
    {
        for (char16_t unit = 0; unit < FLatin.size(); ++unit)
            FLatin[unit] = fold ? static_cast<char16_t>(QChar::toCaseFolded(char32_t{unit})) : unit;
    }

    char16_t operator()(QStringView text, qsizetype i) const
    {
        const char16_t unit = text[i].unicode();
        if (unit < FLatin.size())
            return FLatin[unit];
        if (!FFold)
            return unit;
        if (QChar::isLowSurrogate(unit) && i > 0 && text[i - 1].isHighSurrogate())
            return QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(text[i - 1], text[i])));
        return static_cast<char16_t>(QChar::toCaseFolded(char32_t{unit}));
    }

private:
    bool FFold;
    std::array<char16_t, 256> FLatin{};
};

// The key of a text in the C locale: each unit replaced by the rank of its
// folded unit among all folded units that occur, counted from 1, in as few
// bytes as the number of ranks allows (one for most lists of names),
// big-endian. Keys compare byte by byte as the texts compare unit by unit,
// and a key that ends compares below any key that goes on, as it should,
// since no unit of a key is 0. So where two keys agree on bytes that one of
// them has run out of, the two are the same.
class TTextKeys {
public:
    TTextKeys(bool fold, QStringView texts, const TTextStarts& starts)
        : FFolding(fold)
        , FTexts(texts)
        , FStarts(starts)
    {
        // Units below 256 are only noted here, which keeps the loop free of
        // updates of the same word one after another.
        std::array<bool, 256> latinOccurs{};
        for (std::uint32_t i = 0; i + 1 < starts.size(); ++i) {
            const QStringView text = Text(texts, starts, i);
            for (qsizetype unit = 0; unit < text.size(); ++unit) {
                if (text[unit].unicode() < latinOccurs.size())
                    latinOccurs[text[unit].unicode()] = true;
                else
                    Occurs(FFolding(text, unit));
            }
        }
        for (char16_t unit = 0; unit < latinOccurs.size(); ++unit)
            if (latinOccurs[unit])
                Occurs(FFolding(QStringView(&unit, 1), 0));
        std::uint32_t below = 0;
        for (std::size_t word = 0; word < FOccurs.size(); ++word) {
            FRanksBefore[word] = below;
            below += static_cast<std::uint32_t>(std::popcount(FOccurs[word]));
        }
        FWidth = below <= 0xFF ? 1 : below <= 0xFFFF ? 2 : 4;
        for (char16_t unit = 0; unit < FLatin.size(); ++unit)
            FLatin[unit] = Rank(FFolding(QStringView(&unit, 1), 0));
    }

    // The length of text i's key in bytes.
    qsizetype Length(std::uint32_t i) const { return qsizetype{FStarts[i + 1] - FStarts[i]} * FWidth; }

    // The eight bytes of text i's key from byte `from` on (a multiple of 8) in
    // one number, the first byte highest; bytes past the end are 0.
    std::uint64_t Digit(std::uint32_t i, qsizetype from) const
    {
        const QStringView text = Text(FTexts, FStarts, i);
        std::uint64_t digit = 0;
        const qsizetype first = from / FWidth;
        for (qsizetype unit = first; unit < first + 8 / FWidth; ++unit) {
            std::uint32_t rank = 0;
            if (unit < text.size()) {
                const char16_t code = text[unit].unicode();
                rank = code < FLatin.size() ? FLatin[code] : Rank(FFolding(text, unit));
            }
            digit = (digit << (8 * FWidth)) | rank;
        }
        return digit;
    }

private:
    void Occurs(char16_t key) { FOccurs[key / 64] |= std::uint64_t{1} << (key % 64); }

    std::uint32_t Rank(char16_t key) const
    {
        const std::uint64_t below = FOccurs[key / 64] & ((std::uint64_t{1} << (key % 64)) - 1);
        return FRanksBefore[key / 64] + static_cast<std::uint32_t>(std::popcount(below)) + 1;
    }

    TUnitFolding FFolding;
    QStringView FTexts;
    const TTextStarts& FStarts;
    std::array<std::uint64_t, 0x10000 / 64> FOccurs{};
    std::array<std::uint32_t, 0x10000 / 64> FRanksBefore{};
    int FWidth = 1;
    std::array<std::uint32_t, 256> FLatin{};
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
TTextOrder UnitOrder(bool fold, QStringView texts, const TTextStarts& starts)
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
        qsizetype Depth;
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

TTextOrder SortKeyOrder(const QCollator& collator, QStringView texts, const TTextStarts& starts)
{
    const std::uint32_t count = static_cast<std::uint32_t>(starts.size() - 1);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        keys.push_back(collator.sortKey(Text(texts, starts, i).toString()));
    TTextOrder order(count);
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int compared = keys[a].compare(keys[b]);
        return compared != 0 ? compared < 0 : a < b;
    });
    return order;
}

} // namespace

TTextOrder CollatedOrder(const QCollator& collator, QStringView texts, const TTextStarts& starts)
{
    if (starts.size() < 2)
        return {};
    if (collator.locale().language() == QLocale::C)
        return UnitOrder(collator.caseSensitivity() == Qt::CaseInsensitive, texts, starts);
    return SortKeyOrder(collator, texts, starts);
}
