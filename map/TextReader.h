// TTextReader: the text-mode line reader of the location database.
//
// The file is read in fixed blocks of BlockSize bytes, so memory stays
// bounded whatever the file holds. In text mode
//   - every carriage return (0x0D) is removed, wherever it stands;
//   - a 0x1A byte ends the data: nothing from it on is read, the file is not
//     read any further.
// NUL bytes are ordinary characters: they count towards the line length and
// stay in the line.
//
// ReadLine puts at most MaxLineChars (254) characters into a line buffer of
// 255 bytes, followed by a terminating zero. It stops after the line feed,
// which stays the line's last character, after the 254th character, or at the
// end of the data, whichever comes first; a longer line is therefore read in
// pieces. It sets the end-of-data flag when it reaches the end of the data or
// the underlying read fails, also when it still delivered characters on the
// way; once set, the flag stays set. A read that finds no data at all
// delivers nothing and leaves the buffer as it was.
//
// LineNumber() is the number of the file line that holds the last delivered
// line, counting line feeds from 1 (the pieces of an over-long line share
// their line's number).
//
// For tools that check a file, the reader also tells a piece of an
// over-long line (LineContinues) and where a 0x1A byte ended the data
// (EndByteOffset, NextLineNumber); the viewer's reading does not use them.
//
// The reader does not own the file and throws nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

class TTextReader {
public:
    static constexpr std::size_t LineBufferSize = 255;
    static constexpr std::size_t MaxLineChars = LineBufferSize - 1;
    static constexpr std::size_t BlockSize = std::size_t{1} << 18;

    explicit TTextReader(std::FILE* file);

    // Reads one line; false when no data at all was found.
    bool ReadLine();
    // Reads one line as ReadLine does (line number, flag, what comes next
    // alike) but without its text, when it is not needed: the buffer keeps
    // whatever it held, unless the line has to be read in full after all.
    bool SkipLine();
    bool Eof() const { return FEof; }
    // Passes over the whole lines ahead in the current block that do not hold
    // the byte mark, exactly as ReadLine calls would (line feeds counted, the
    // flag untouched, since each of them ends with its line feed), but
    // without copying them: the buffer and LineNumber() keep what the last
    // ReadLine gave. Stops early at a line of 254 bytes or more.
    void SkipLinesWithout(char mark);
    // The buffer's current contents (without the terminating zero).
    std::string_view Line() const { return {FLine, FLength}; }
    const char* Buffer() const { return FLine; }
    std::int64_t LineNumber() const { return FLineNumber; }
    // The last delivered line lacks its line feed and no character follows
    // it: it is the end of the data, not a piece of an over-long line.
    bool LineEndsData()
    {
        return FLength != 0 && FLine[FLength - 1] != '\n' && FollowedByNothing();
    }
    // The last delivered line is a piece of a line with more than 253
    // characters before its line feed: 254 characters without a line feed,
    // and more of the line follows.
    bool LineContinues()
    {
        return FLength == MaxLineChars && FLine[FLength - 1] != '\n' && !FollowedByNothing();
    }
    // The file offset of the 0x1A byte that ended the data, or -1 when none did
    // (so far).
    std::int64_t EndByteOffset() const { return FEndByteOffset; }
    // The number of the line after the last line feed read; once the data has
    // ended, the line at which it ended.
    std::int64_t NextLineNumber() const { return FLineFeeds + 1; }

private:
    bool Fill();
    bool SkipCarriageReturns();
    bool FollowedByNothing();

    std::FILE* FFile;
    std::unique_ptr<char[]> FBlock;
    std::size_t FBegin = 0;
    std::size_t FEnd = 0;
    std::int64_t FBlockOffset = 0;
    std::int64_t FEndByteOffset = -1;
    bool FExhausted = false;
    bool FEof = false;
    char FLine[LineBufferSize] = {};
    std::size_t FLength = 0;
    std::int64_t FLineFeeds = 0;
    std::int64_t FLineNumber = 0;
};
