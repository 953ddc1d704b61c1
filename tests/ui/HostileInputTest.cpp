// Hostile data files handed to the window: each ends in its message or in a
// sound result, the window keeps running, and memory stays bounded.
#include "FormFixture.h"

#include "BmpFile.h"
#include "JpegImage.h"
#include "Mainunit.h"
#include "SortedComboBox.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;

constexpr std::size_t LargeFile = 100 * MiB;

// A value of /proc/self/status in KiB.
long StatusKiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return 0;
}

// Measures how far the peak resident size rises above the present size while
// it is alive. The kernel's peak is reset first where it allows that;
// otherwise an earlier, higher peak can only hide growth, never invent it.
class TPeakGrowth {
public:
    TPeakGrowth()
    {
        std::ofstream("/proc/self/clear_refs") << "5";
        FStart = StatusKiB("VmRSS");
    }
    long MiBs() const { return std::max(0L, StatusKiB("VmHWM") - FStart) / 1024; }
    void ExpectBelow(long limit) const
    {
        const long grown = MiBs();
        std::printf("peak resident size grew by %ld MiB\n", grown);
        EXPECT_LT(grown, limit);
    }

private:
    long FStart = 0;
};

// Takes away the capabilities that let root write into a folder that its
// permissions close, for the calling thread, which is where the window's
// start-up runs; the destructor gives them back.
class TWithoutFileCapabilities {
public:
    TWithoutFileCapabilities()
    {
        FHeader.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &FHeader, FSaved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {FSaved[0], FSaved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        FDropped = syscall(SYS_capset, &FHeader, reduced) == 0;
    }
    ~TWithoutFileCapabilities()
    {
        if (FDropped)
            syscall(SYS_capset, &FHeader, FSaved);
    }
    TWithoutFileCapabilities(const TWithoutFileCapabilities&) = delete;
    TWithoutFileCapabilities& operator=(const TWithoutFileCapabilities&) = delete;

private:
    __user_cap_header_struct FHeader{};
    __user_cap_data_struct FSaved[2]{};
    bool FDropped = false;
};

class HostileInputTest : public TFormFixture {
protected:
    void TearDown() override
    {
        TFormFixture::TearDown();
        ::chmod(Dir.path().toLocal8Bit().constData(), 0755);
    }

    // Writes size bytes to the location database: head, then pattern
    // repeated (its last copy cut short), then tail.
    static void WriteDatabase(const std::string& head, const std::string& pattern, std::size_t size,
                              const std::string& tail = {})
    {
        std::string block;
        while (block.size() < MiB)
            block += pattern;
        std::ofstream file(LocationsFileName, std::ios::binary | std::ios::trunc);
        file << head;
        std::size_t left = size - head.size() - tail.size();
        for (; left > 0; left -= std::min(left, block.size()))
            file.write(block.data(), static_cast<std::streamsize>(std::min(left, block.size())));
        file << tail;
        ASSERT_TRUE(file.good());
    }

    // Start(), and the time it takes goes to the test's report.
    std::unique_ptr<TMainForm> StartTimed()
    {
        const auto start = std::chrono::steady_clock::now();
        auto form = Start();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        Seconds = elapsed.count();
        RecordProperty("start_up_ms", std::to_string(static_cast<long>(Seconds * 1000)));
        std::printf("start-up took %.3f s\n", Seconds);
        return form;
    }

    // A hostile file may cost a few seconds but never an endless wait.
    void ExpectNoHang() const { EXPECT_LT(Seconds, 20.0); }

    // Start-up stopped at the map: the window stays open without a map, no
    // record was read and no temporary file is left behind.
    static void ExpectOpenWithoutMap(const TMainForm& form)
    {
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(form.MasterBitmap.Empty());
        EXPECT_TRUE(form.LocList.empty());
        EXPECT_FALSE(QFile::exists(TempFileName));
    }

    double Seconds = 0;
};

} // namespace

TEST_F(HostileInputTest, AHeaderClaimingAHugeImageIsRefusedBeforeAnythingIsAllocated)
{
    std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(16, 16));
    SetTestJpegFrameSize(jpeg, 65500, 65500);
    WriteTestFile(MapFileName, jpeg);
    WriteFile(LocationsFileName, Record("Harrowgate", "0", "1,2"));

    const TPeakGrowth growth;
    const auto form = StartTimed();
    growth.ExpectBelow(16);
    EXPECT_EQ(Errors, QStringList{QStringLiteral("JPEG image too large (65500 x 65500 pixels)")});
    ExpectOpenWithoutMap(*form);
    EXPECT_TRUE(form->ViewBitmap().Empty());
}

TEST_F(HostileInputTest, AFileOfEndlessScansIsRefusedWhileItIsDecoded)
{
    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(64, 64), {.Progressive = true});
    WriteTestFile(MapFileName, WithLastScanRepeated(jpeg, 5000));
    WriteFile(LocationsFileName, Record("Harrowgate", "0", "1,2"));

    const auto form = StartTimed();
    ExpectNoHang();
    EXPECT_EQ(Errors, QStringList{QStringLiteral("JPEG image has more than %1 scans.").arg(TJPEGImage::MaxScans)});
    ExpectOpenWithoutMap(*form);
}

TEST_F(HostileInputTest, LargeDatabasesLoadInOnePassWithBoundedMemory)
{
    WriteMap(330, 380);
    // Long stretches of notes, some with an "l", none with the marker.
    WriteDatabase(Record("Harrowgate", "2", "-41250,18700"),
                  "; the coast road runs north along the cliffs\n; open sea, no ports\n", LargeFile,
                  Record("Velmoor", "0", "$1F40,-900"));
    {
        const TPeakGrowth growth;
        const auto form = StartTimed();
        ExpectNoHang();
        growth.ExpectBelow(48);
        EXPECT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();
        EXPECT_TRUE(form->isVisible());
        ASSERT_EQ(form->LocList.size(), 2u);
        EXPECT_EQ(form->LocList[1].X, 0x1F40);
        EXPECT_EQ(form->CBLoc->count(), 2);
    }

    // One line without a line feed, read in pieces of 254 characters, each
    // full of "l" and none holding the marker.
    WriteDatabase({}, "lo", LargeFile / 2);
    {
        const TPeakGrowth growth;
        const auto form = StartTimed();
        ExpectNoHang();
        growth.ExpectBelow(48);
        EXPECT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->LocList.empty());
        EXPECT_EQ(form->CBLoc->count(), 0);
    }
}

TEST_F(HostileInputTest, ADatabaseOfManyPlacesFillsTheListInOneSortedPass)
{
    WriteMap(330, 380);
    constexpr int Places = 50000;
    std::string text;
    std::uint32_t seed = 1;
    for (int i = 0; i < Places; ++i) {
        seed = seed * 1103515245u + 12345u;
        text += Record("Place " + std::to_string(seed % 100000), "4", "1,2");
    }
    WriteFile(LocationsFileName, text);

    int insertions = 0;
    const auto form = std::make_unique<TMainForm>();
    QObject::connect(form->CBLoc->model(), &QAbstractItemModel::rowsInserted, [&] { ++insertions; });
    form->show();
    QCoreApplication::processEvents();

    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();
    EXPECT_EQ(form->LocList.size(), std::size_t{Places});
    ASSERT_EQ(form->CBLoc->count(), Places);
    // Moving the entries once per name would make this quadratic in the places.
    EXPECT_EQ(insertions, 1);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (int i = 1; i < Places; ++i)
        ASSERT_LE(collator.compare(form->CBLoc->itemText(i - 1), form->CBLoc->itemText(i)), 0) << i;
    EXPECT_EQ(form->CBLoc->currentIndex(), -1);
}

TEST_F(HostileInputTest, DatabasesOfOneRepeatedByteOrLine)
{
    WriteMap(330, 380);
    struct TCase {
        const char* What;
        std::string Pattern;
        QStringList Errors;
        int Names;
    };
    const TCase cases[] = {
        // NUL bytes are characters: lines of 254 of them, none a marker.
        {"NUL bytes", std::string(1, '\0'), {}, 0},
        // The end of the data at the first byte.
        {"0x1A bytes", "\x1a", {}, 0},
        // The first record takes "loc" as its name line (an empty name) and
        // its type line (an empty number), which ends the load.
        {"marker lines", "loc\n", {QStringLiteral("'' is not a valid integer value.")}, 1},
        {"marker lines with CR LF", "loc\r\n", {QStringLiteral("'' is not a valid integer value.")}, 1},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.What);
        WriteDatabase({}, test.Pattern, LargeFile);
        Errors.clear();
        const TPeakGrowth growth;
        const auto form = StartTimed();
        ExpectNoHang();
        growth.ExpectBelow(48);
        EXPECT_EQ(Errors, test.Errors);
        EXPECT_TRUE(form->isVisible());
        EXPECT_FALSE(form->MasterBitmap.Empty());
        EXPECT_TRUE(form->LocList.empty());
        EXPECT_EQ(form->CBLoc->count(), test.Names);
    }
}

// The working folder is made read-only for this process: by its permissions,
// and for root, which passes over them, by dropping the capabilities that
// allow that. Where the folder still takes a new file the test is skipped.
class ReadOnlyFolderTest : public HostileInputTest {
protected:
    bool MakeReadOnly()
    {
        ::chmod(Dir.path().toLocal8Bit().constData(), 0555);
        Capabilities = std::make_unique<TWithoutFileCapabilities>();
        std::FILE* probe = std::fopen("probe", "wb");
        if (!probe)
            return true;
        std::fclose(probe);
        std::remove("probe");
        return false;
    }

    std::unique_ptr<TWithoutFileCapabilities> Capabilities;
};

TEST_F(ReadOnlyFolderTest, ATemporaryFileThatCannotBeCreatedIsReported)
{
    WriteMap(330, 380);
    WriteFile(LocationsFileName, Record("Harrowgate", "0", "1,2"));
    if (!MakeReadOnly())
        GTEST_SKIP() << "this process can create files in a folder without write permission";

    const auto form = StartTimed();
    EXPECT_EQ(Errors, QStringList{QStringLiteral("Cannot create file ~temp.bmp.")});
    ExpectOpenWithoutMap(*form);
}

TEST_F(ReadOnlyFolderTest, ATemporaryFileThatCannotBeDeletedStaysWithoutAMessage)
{
    WriteMap(330, 380);
    WriteFile(LocationsFileName, Record("Harrowgate", "0", "1,2"));
    // Writing over the BMP an earlier start left needs no write permission
    // on the folder, deleting it does.
    SaveBitmapToFile(TBitmap(4, 4), TempFileName);
    ::chmod(TempFileName, 0666);
    if (!MakeReadOnly())
        GTEST_SKIP() << "this process can delete files in a folder without write permission";

    const auto form = StartTimed();
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->MasterBitmap.Width(), 330);
    EXPECT_EQ(form->LocList.size(), 1u);
    EXPECT_EQ(form->CBLoc->count(), 1);
    EXPECT_EQ(QFileInfo(TempFileName).size(), static_cast<qint64>(54 + TBitmap::StrideFor(330) * 380));
}

TEST_F(HostileInputTest, ATemporaryFileNameTakenByAFolderIsReported)
{
    WriteMap(330, 380);
    WriteFile(LocationsFileName, Record("Harrowgate", "0", "1,2"));
    QDir().mkdir(TempFileName);

    const auto form = StartTimed();
    EXPECT_EQ(Errors, QStringList{QStringLiteral("Cannot create file ~temp.bmp.")});
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->MasterBitmap.Empty());
    EXPECT_TRUE(QFileInfo(TempFileName).isDir());
}
