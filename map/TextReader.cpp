#include "TextReader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

// The high bit set in exactly the bytes of word that equal byte.
std::uint64_t ByteFlags(std::uint64_t word, char byte)
{
    constexpr std::uint64_t Ones = 0x0101010101010101u;
    constexpr std::uint64_t Low7 = Ones * 0x7F;
    const std::uint64_t x = word ^ (Ones * static_cast<unsigned char>(byte));
    return ~(((x & Low7) + Low7) | x | Low7);
}

// The number of bytes of a word in memory up to and including the first
// flagged one.
std::size_t BytesThroughFirstFlag(std::uint64_t flags)
{
    const int bit = std::endian::native == std::endian::little ? std::countr_zero(flags) : std::countl_zero(flags);
    return static_cast<std::size_t>(bit / 8 + 1);
}

} // namespace

TTextReader::TTextReader(std::FILE* file)
    : FFile(file)
    , FBlock(new char[BlockSize])
{
}

bool TTextReader::Fill()
{
    if (!FExhausted) {
        char* block = FBlock.get();
        FBlockOffset += static_cast<std::int64_t>(FEnd);
        std::size_t n = std::fread(block, 1, BlockSize, FFile);
        if (const void* eof = std::memchr(block, 0x1A, n)) {
            n = static_cast<std::size_t>(static_cast<const char*>(eof) - block);
            FEndByteOffset = FBlockOffset + static_cast<std::int64_t>(n);
            FExhausted = true;
        }
        // End of file and read error alike end the data.
        if (n == 0)
            FExhausted = true;
        FBegin = 0;
        FEnd = n;
        if (n != 0)
            return true;
    }
    FBegin = FEnd = 0;
    return false;
}

// Carriage returns stay in the block and are dropped here and in ReadLine,
// which is cheaper than compacting every block.
bool TTextReader::SkipCarriageReturns()
{
    for (;;) {
        while (FBegin != FEnd && FBlock[FBegin] == '\r')
            ++FBegin;
        if (FBegin != FEnd)
            return true;
        if (!Fill())
            return false;
    }
}

void TTextReader::SkipLinesWithout(char mark)
{
    const char* const block = FBlock.get();
    const char* const end = block + FEnd;
    const char* lineStart = block + FBegin;
    std::int64_t lineFeeds = 0;
    // The scan never runs more than one line's limit past the last line it
    // passes over, so repeated calls stay linear in the data.
    for (const char* p = lineStart; p != end; ++p) {
        // A line feed at index 254 or later may come after a full piece.
        if (p - lineStart >= static_cast<std::ptrdiff_t>(MaxLineChars))
            break;
        const char c = *p;
        if (c == mark)
            break;
        if (c == '\n') {
            lineStart = p + 1;
            ++lineFeeds;
        }
    }
    FBegin = static_cast<std::size_t>(lineStart - block);
    FLineFeeds += lineFeeds;
}

bool TTextReader::ReadLine()
{
    if (!SkipCarriageReturns()) {
        FEof = true;
        return false;
    }
    FLineNumber = FLineFeeds + 1;
    std::size_t length = 0;
    // One pass copies, drops carriage returns and looks for the line feed;
    // lines are short, so this beats separate library scans.
    const char* const block = FBlock.get();
    for (;;) {
        const char* in = block + FBegin;
        const char* const stop = in + std::min(FEnd - FBegin, MaxLineChars - length);
        bool lineFeed = false;
        // Eight bytes at a time while they hold no carriage return, up to the
        // line feed; no CR has been dropped yet, so they fit the buffer.
        while (stop - in >= 8) {
            std::uint64_t word;
            std::memcpy(&word, in, 8);
            if (ByteFlags(word, '\r'))
                break;
            std::memcpy(FLine + length, &word, 8);
            if (const std::uint64_t lineFeeds = ByteFlags(word, '\n')) {
                const std::size_t taken = BytesThroughFirstFlag(lineFeeds);
                in += taken;
                length += taken;
                lineFeed = true;
                break;
            }
            in += 8;
            length += 8;
        }
        while (!lineFeed && in != stop) {
            const char c = *in++;
            FLine[length] = c;
            length += c != '\r';
            if (c == '\n') {
                lineFeed = true;
                break;
            }
        }
        FBegin = static_cast<std::size_t>(in - block);
        if (lineFeed) {
            ++FLineFeeds;
            break;
        }
        if (length == MaxLineChars)
            break;
        if (FBegin == FEnd && !Fill()) {
            FEof = true;
            break;
        }
    }
    FLine[length] = '\0';
    FLength = length;
    return true;
}

bool TTextReader::SkipLine()
{
    // A line feed among the next MaxLineChars bytes of the block ends the
    // line ReadLine would read: the carriage returns it drops before the
    // line feed only make the line shorter.
    const char* const start = FBlock.get() + FBegin;
    if (const void* lineFeed = std::memchr(start, '\n', std::min(FEnd - FBegin, MaxLineChars))) {
        FLineNumber = FLineFeeds + 1;
        FBegin += static_cast<std::size_t>(static_cast<const char*>(lineFeed) - start) + 1;
        ++FLineFeeds;
        return true;
    }
    return ReadLine();
}

bool TTextReader::FollowedByNothing()
{
    return !SkipCarriageReturns();
}
