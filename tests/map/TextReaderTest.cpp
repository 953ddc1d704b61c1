#include "TextReader.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct TRead {
    std::string Line;
    bool Eof;
    std::int64_t LineNumber;
    bool operator==(const TRead&) const = default;
};

void PrintTo(const TRead& read, std::ostream* out)
{
    *out << '"' << read.Line << "\" eof=" << read.Eof << " line=" << read.LineNumber;
}

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

class TReaderFile {
public:
    explicit TReaderFile(const std::string& bytes)
        : FFile(std::fopen(FDir.Write("data", bytes).c_str(), "rb"))
        , Reader(FFile.get())
    {
    }

private:
    TScratchDir FDir;
    std::unique_ptr<std::FILE, TFileCloser> FFile;

public:
    TTextReader Reader;
};

// Every read that delivers something, in order.
std::vector<TRead> ReadAll(const std::string& bytes)
{
    TReaderFile file(bytes);
    std::vector<TRead> reads;
    while (file.Reader.ReadLine())
        reads.push_back({std::string(file.Reader.Line()), file.Reader.Eof(), file.Reader.LineNumber()});
    return reads;
}

// The reading rule one byte at a time, for comparison with the block reader.
std::vector<TRead> ModelReads(const std::string& bytes)
{
    std::string data;
    for (const char c : bytes) {
        if (c == '\x1A')
            break;
        if (c != '\r')
            data += c;
    }
    std::vector<TRead> reads;
    std::size_t pos = 0;
    std::int64_t lineFeeds = 0;
    bool eof = false;
    while (pos < data.size()) {
        TRead read{"", false, lineFeeds + 1};
        while (read.Line.size() < 254) {
            if (pos == data.size()) {
                eof = true;
                break;
            }
            const char c = data[pos++];
            read.Line += c;
            if (c == '\n') {
                ++lineFeeds;
                break;
            }
        }
        read.Eof = eof;
        reads.push_back(read);
    }
    return reads;
}

// Two blocks and more of bytes from alphabet, with runs of up to 400 'x' or
// carriage returns.
std::string RandomLines(std::mt19937& random, const std::vector<char>& alphabet)
{
    std::string bytes;
    while (bytes.size() < TTextReader::BlockSize * 2 + 9000) {
        if (random() % 5 == 0)
            bytes.append(random() % 400, random() % 2 ? 'x' : '\r');
        else
            bytes += alphabet[random() % alphabet.size()];
    }
    return bytes;
}

} // namespace

TEST(TextReader, SplitsLinesLongerThan253CharactersBeforeTheLineFeed)
{
    const std::string a253(253, 'a');
    EXPECT_EQ(ReadAll(a253 + "\n"), (std::vector<TRead>{{a253 + "\n", false, 1}}));
    EXPECT_EQ(ReadAll(a253 + "b\nc\n"),
              (std::vector<TRead>{{a253 + "b", false, 1}, {"\n", false, 1}, {"c\n", false, 2}}));
    const std::string long600(600, 'x');
    EXPECT_EQ(ReadAll(long600),
              (std::vector<TRead>{{long600.substr(0, 254), false, 1},
                                  {long600.substr(254, 254), false, 1},
                                  {long600.substr(508), true, 1}}));
}

TEST(TextReader, RemovesEveryCarriageReturnWhereverItStands)
{
    EXPECT_EQ(ReadAll("\ra\rb\r\n\r\rc\r"), (std::vector<TRead>{{"ab\n", false, 1}, {"c", true, 2}}));
    // Carriage returns do not count towards the 254 characters.
    std::string crlf;
    for (int i = 0; i < 254; ++i)
        crlf += "a\r";
    EXPECT_EQ(ReadAll(crlf + "\r\n"), (std::vector<TRead>{{std::string(254, 'a'), false, 1}, {"\n", false, 1}}));
    // A block of nothing but carriage returns is skipped, not taken for the end.
    EXPECT_EQ(ReadAll(std::string(TTextReader::BlockSize * 2 + 5, '\r') + "z\n"),
              (std::vector<TRead>{{"z\n", false, 1}}));
}

TEST(TextReader, Byte1AEndsTheDataAlsoMidLine)
{
    EXPECT_EQ(ReadAll("ab\ncd\x1A" "ef\ngh\n"), (std::vector<TRead>{{"ab\n", false, 1}, {"cd", true, 2}}));
    EXPECT_EQ(ReadAll("ab\n\x1A" "cd\n"), (std::vector<TRead>{{"ab\n", false, 1}}));
    EXPECT_TRUE(ReadAll("\x1A" "loc\n").empty());
    EXPECT_TRUE(ReadAll(std::string(1000, '\x1A')).empty());
}

TEST(TextReader, EndFlagSetWhenTheLastLineLacksItsLineFeed)
{
    EXPECT_EQ(ReadAll("ab\ncd"), (std::vector<TRead>{{"ab\n", false, 1}, {"cd", true, 2}}));
    EXPECT_TRUE(ReadAll("").empty());
}

TEST(TextReader, ReadFindingNoDataKeepsTheBufferAndSetsTheFlagForGood)
{
    TReaderFile file("one\ntwo\n");
    ASSERT_TRUE(file.Reader.ReadLine());
    ASSERT_TRUE(file.Reader.ReadLine());
    EXPECT_FALSE(file.Reader.Eof());
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(file.Reader.ReadLine());
        EXPECT_TRUE(file.Reader.Eof());
        EXPECT_EQ(file.Reader.Line(), "two\n");
        EXPECT_STREQ(file.Reader.Buffer(), "two\n");
    }
}

TEST(TextReader, ExactlyFullPieceAtTheEndLeavesTheFlagToTheNextRead)
{
    TReaderFile file(std::string(254, 'q'));
    ASSERT_TRUE(file.Reader.ReadLine());
    EXPECT_FALSE(file.Reader.Eof());
    EXPECT_TRUE(file.Reader.LineEndsData());
    EXPECT_FALSE(file.Reader.ReadLine());
    EXPECT_TRUE(file.Reader.Eof());
}

TEST(TextReader, TellsTheEndOfTheDataFromAPieceOfALongLine)
{
    TReaderFile file(std::string(300, 'q') + "\nlast\nend\x1A" "more");
    ASSERT_TRUE(file.Reader.ReadLine());
    EXPECT_FALSE(file.Reader.LineEndsData());
    ASSERT_TRUE(file.Reader.ReadLine());
    EXPECT_FALSE(file.Reader.LineEndsData());
    ASSERT_TRUE(file.Reader.ReadLine());
    EXPECT_EQ(file.Reader.Line(), "last\n");
    EXPECT_FALSE(file.Reader.LineEndsData());
    ASSERT_TRUE(file.Reader.ReadLine());
    EXPECT_EQ(file.Reader.Line(), "end");
    EXPECT_TRUE(file.Reader.LineEndsData());
}

TEST(TextReader, NulBytesAreOrdinaryCharacters)
{
    const std::string line("a\0b\n", 4);
    EXPECT_EQ(ReadAll(line + std::string(300, '\0')),
              (std::vector<TRead>{{line, false, 1}, {std::string(254, '\0'), false, 2}, {std::string(46, '\0'), true, 2}}));
}

TEST(TextReader, BlockBoundariesChangeNothing)
{
    std::mt19937 random(20240517);
    const char alphabet[] = {'a', 'b', '\n', '\n', '\r', '\0', ',', 'l'};
    for (int round = 0; round < 6; ++round) {
        std::string bytes;
        const std::size_t size = TTextReader::BlockSize * 2 + random() % 50000;
        while (bytes.size() < size) {
            if (random() % 3 == 0)
                bytes.append(random() % 700, 'x');
            else
                bytes += alphabet[random() % sizeof alphabet];
        }
        if (round % 2 == 1)
            bytes[TTextReader::BlockSize + random() % 1000] = '\x1A';
        const std::vector<TRead> expected = ModelReads(bytes);
        const std::vector<TRead> reads = ReadAll(bytes);
        ASSERT_EQ(reads.size(), expected.size()) << "round " << round;
        for (std::size_t i = 0; i < reads.size(); ++i)
            ASSERT_EQ(reads[i], expected[i]) << "round " << round << ", read " << i;
    }
}

TEST(TextReader, SkippingLinesWithoutTheMarkKeepsEveryOtherRead)
{
    std::mt19937 random(77);
    for (int round = 0; round < 4; ++round) {
        const std::string bytes = RandomLines(random, {'a', 'l', '\n', '\n', '\n', '\r', '\0'});
        // Every read holding the mark or ending the data must still come, in order.
        std::vector<TRead> expected;
        for (const TRead& read : ModelReads(bytes))
            if (read.Line.find('l') != std::string::npos || read.Eof || read.Line.back() != '\n')
                expected.push_back(read);
        TReaderFile file(bytes);
        std::vector<TRead> reads;
        for (;;) {
            file.Reader.SkipLinesWithout('l');
            if (!file.Reader.ReadLine())
                break;
            const TRead read{std::string(file.Reader.Line()), file.Reader.Eof(), file.Reader.LineNumber()};
            if (read.Line.find('l') != std::string::npos || read.Eof || read.Line.back() != '\n')
                reads.push_back(read);
        }
        ASSERT_EQ(reads.size(), expected.size()) << "round " << round;
        for (std::size_t i = 0; i < reads.size(); ++i)
            ASSERT_EQ(reads[i], expected[i]) << "round " << round << ", read " << i;
    }
}

TEST(TextReader, SkippingALineReadsOnAsReadingItWould)
{
    std::mt19937 random(5);
    for (int round = 0; round < 4; ++round) {
        std::string bytes = RandomLines(random, {'a', '\n', '\n', '\r', '\0'});
        if (round % 2 == 1)
            bytes[TTextReader::BlockSize + random() % 1000] = '\x1A';
        const std::vector<TRead> expected = ModelReads(bytes);
        TReaderFile file(bytes);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const bool skip = random() % 2 == 0;
            ASSERT_TRUE(skip ? file.Reader.SkipLine() : file.Reader.ReadLine()) << "round " << round << ", read " << i;
            const TRead read{skip ? expected[i].Line : std::string(file.Reader.Line()), file.Reader.Eof(),
                             file.Reader.LineNumber()};
            ASSERT_EQ(read, expected[i]) << "round " << round << ", read " << i;
        }
        EXPECT_FALSE(file.Reader.SkipLine());
    }
}
