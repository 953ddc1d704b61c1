// The location database on arbitrary bytes. The bytes are written to a file
// and read three times: line by line with TTextReader, whole with
// LoadLocations, and with CheckLocations. The first two are checked against a
// plain restatement of the rules over the whole data in memory (carriage
// returns dropped, 0x1A ends the data, pieces of at most 254 characters): the
// same lines and end-of-data flags, the same records and names, the same
// error. The checking read must find the same records up to that error. When the first byte
// leaves 1 divided by 8, about one block of filler lines goes before the rest, so that its
// lines and records straddle the reader's block boundary.
#include "Convert.h"
#include "Errors.h"
#include "Locations.h"
#include "TextReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct TLine {
    std::string Text;
    bool Eof = false;
};

// The lines ReadLine delivers, and whether each set the end-of-data flag.
std::vector<TLine> ExpectedLines(std::string_view bytes)
{
    std::string data;
    for (const char c : bytes.substr(0, bytes.find('\x1a')))
        if (c != '\r')
            data += c;
    std::vector<TLine> lines;
    std::size_t at = 0;
    while (at < data.size()) {
        const std::size_t lineFeed = data.find('\n', at);
        const std::size_t end = std::min(lineFeed == std::string::npos ? data.size() : lineFeed + 1,
                                         at + TTextReader::MaxLineChars);
        TLine line{data.substr(at, end - at), false};
        line.Eof = end == data.size() && line.Text.back() != '\n' && line.Text.size() < TTextReader::MaxLineChars;
        lines.push_back(line);
        at = end;
        if (line.Eof)
            break;
    }
    return lines;
}

std::string_view Run(std::string_view line, std::ptrdiff_t p, std::ptrdiff_t n)
{
    const auto length = static_cast<std::ptrdiff_t>(line.size());
    if (p < 1 || p > length || n < 0)
        return {};
    return line.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(std::min(n, length - p + 1)));
}

struct TExpectedLoad {
    TLocList List;
    std::vector<std::string> Names;
    std::optional<std::string> Error;
};

// The load over those lines. The last line of the data, when it lacks its
// line feed, is measured as if it had one.
TExpectedLoad ExpectedLoad(const std::vector<TLine>& lines)
{
    TExpectedLoad load;
    std::size_t next = 0;
    auto length = [&](std::size_t i) {
        const bool endsData = i + 1 == lines.size() && lines[i].Text.back() != '\n';
        return static_cast<std::ptrdiff_t>(lines[i].Text.size()) + (endsData ? 1 : 0);
    };
    auto value = [&](std::size_t i) { return Run(lines[i].Text, 7, length(i) - 7); };
    auto convert = [&](std::string_view text, std::int32_t& result) {
        try {
            result = StrToInt(text);
            return true;
        } catch (const EConvertError& error) {
            load.Error = error.what();
            return false;
        }
    };
    while (next < lines.size() && !lines[next].Eof) {
        const std::size_t marker = next++;
        if (lines[marker].Text.find("loc") == std::string::npos)
            continue;
        if (marker + 1 >= lines.size())
            break;
        TLocation location;
        location.Name = value(marker + 1);
        load.Names.push_back(location.Name);
        if (marker + 4 >= lines.size() || !convert(value(marker + 4), location.Type))
            break;
        if (marker + 7 >= lines.size())
            break;
        const std::string_view line = lines[marker + 7].Text;
        const std::size_t comma = line.rfind(',');
        const std::ptrdiff_t c = comma == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(comma) + 1;
        if (!convert(Run(line, 7, c - 7), location.X) || !convert(Run(line, c + 1, length(marker + 7) - c - 1), location.Y))
            break;
        load.List.push_back(location);
        next = marker + 8;
    }
    return load;
}

// The records and bad values CheckLocations reports.
class TRecorder : public TLocationObserver {
public:
    void LongLine(std::int64_t) override {}
    void MarkerLine(std::int64_t, std::string_view) override {}
    void RecordLine(int, std::int64_t, std::string_view) override {}
    void BadValue(TLocationValue, std::int64_t, std::string_view) override { ++BadValues; }
    void Location(const TLocation& location) override { List.push_back(location); }
    void CutShort(std::int64_t) override {}
    void EndByte(std::int64_t) override {}

    TLocList List;
    int BadValues = 0;
};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string ScratchFile()
{
    const std::filesystem::path folder =
        std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
    return (folder / ("kelderwyn-fuzz-" + std::to_string(::getpid()) + ".gdb")).string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string fileName = ScratchFile();
    // Lines without "l", passed over in bulk; they hold no marker and end
    // with a line feed, so the lines and records of the rest come out as if
    // they stood alone.
    static const std::string sea = "the open sea and sky\n";
    static const std::string seas = [] {
        std::string text;
        while (text.size() < TTextReader::BlockSize)
            text += sea;
        return text;
    }();
    std::string_view payload(reinterpret_cast<const char*>(data), size);
    std::string filler;
    if (size > 0 && (data[0] & 7) == 1) {
        // Up to 124 bytes short of the block end.
        const std::size_t fill = TTextReader::BlockSize - (data[0] >> 3) * 4u;
        filler = seas.substr(0, (fill - 40) / sea.size() * sea.size());
        filler += std::string(fill - filler.size() - 1, '.') + '\n';
        payload.remove_prefix(1);
    }
    {
        const std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(fileName.c_str(), "wb"));
        Check(file && std::fwrite(filler.data(), 1, filler.size(), file.get()) == filler.size() &&
              std::fwrite(payload.data(), 1, payload.size(), file.get()) == payload.size());
    }

    const std::vector<TLine> lines = ExpectedLines(payload);
    {
        const std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(fileName.c_str(), "rb"));
        Check(file != nullptr);
        TTextReader reader(file.get());
        for (std::size_t at = 0; at < filler.size();) {
            const std::size_t end = filler.find('\n', at) + 1;
            Check(reader.ReadLine() && reader.Line() == std::string_view(filler).substr(at, end - at) && !reader.Eof());
            at = end;
        }
        for (const TLine& line : lines) {
            Check(reader.ReadLine());
            Check(reader.Line() == line.Text && reader.Buffer()[line.Text.size()] == '\0');
            Check(reader.Eof() == line.Eof);
        }
        Check(!reader.ReadLine());
        Check(reader.Eof());
    }

    const TExpectedLoad expected = ExpectedLoad(lines);
    TLocList list;
    std::vector<std::string> names;
    std::optional<std::string> error;
    bool closed = false;
    try {
        LoadLocations(fileName, list, {[&](const std::string& name) { names.push_back(name); }, [&] { closed = true; }});
    } catch (const EConvertError& e) {
        error = e.what();
    }
    Check(!closed);
    Check(error == expected.Error);
    Check(names == expected.Names);
    Check(list.size() == expected.List.size());
    TRecorder checked;
    CheckLocations(fileName, checked);
    Check(error ? checked.BadValues > 0 && checked.List.size() >= list.size()
                : checked.BadValues == 0 && checked.List.size() == list.size());
    const auto same = [](const TLocation& a, const TLocation& b) {
        return a.Name == b.Name && a.Type == b.Type && a.X == b.X && a.Y == b.Y;
    };
    for (std::size_t i = 0; i < list.size(); ++i)
        Check(same(list[i], expected.List[i]) && same(list[i], checked.List[i]));
    return 0;
}
