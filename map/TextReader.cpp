#include "TextReader.h"

#include <algorithm>
#include <cstring>

TTextReader::TTextReader(std::FILE* file)
    : FFile(file)
    , FBlock(new char[BlockSize])
{
}

bool TTextReader::Fill()
{
    while (!FExhausted) {
        char* block = FBlock.get();
        std::size_t n = std::fread(block, 1, BlockSize, FFile);
        if (n == 0) {
            // End of file and read error alike end the data.
            FExhausted = true;
            break;
        }
        if (const void* eof = std::memchr(block, 0x1A, n)) {
            n = static_cast<std::size_t>(static_cast<const char*>(eof) - block);
            FExhausted = true;
        }
        if (char* cr = static_cast<char*>(std::memchr(block, '\r', n))) {
            char* out = cr;
            for (const char* in = cr + 1; in != block + n; ++in)
                if (*in != '\r')
                    *out++ = *in;
            n = static_cast<std::size_t>(out - block);
        }
        FBegin = 0;
        FEnd = n;
        if (n != 0)
            return true;
    }
    FBegin = FEnd = 0;
    return false;
}

bool TTextReader::ReadLine()
{
    if (FBegin == FEnd && !Fill()) {
        FEof = true;
        return false;
    }
    FLineNumber = FLineFeeds + 1;
    std::size_t length = 0;
    for (;;) {
        const char* source = FBlock.get() + FBegin;
        const std::size_t take = std::min(FEnd - FBegin, MaxLineChars - length);
        if (const void* lf = std::memchr(source, '\n', take)) {
            const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(lf) - source) + 1;
            std::memcpy(FLine + length, source, n);
            length += n;
            FBegin += n;
            ++FLineFeeds;
            break;
        }
        std::memcpy(FLine + length, source, take);
        length += take;
        FBegin += take;
        if (length == MaxLineChars)
            break;
        if (!Fill()) {
            FEof = true;
            break;
        }
    }
    FLine[length] = '\0';
    FLength = length;
    return true;
}

bool TTextReader::LineEndsData()
{
    if (FLength == 0 || FLine[FLength - 1] == '\n')
        return false;
    return FBegin == FEnd && !Fill();
}
