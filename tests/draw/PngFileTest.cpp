#include "Errors.h"
#include "PngFile.h"
#include "ScratchDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

TEST(PngFile, ANameThatIsNotUtf8IsWrittenAsItsBytesAndAMissingFolderRefused)
{
    const TScratchDir dir;
    QImage image(3, 2, QImage::Format_RGB888);
    image.fill(QColor(10, 200, 30));
    image.setPixelColor(2, 1, QColor(255, 0, 7));
    const std::string name = (dir.Path() / "tile\xff.png").native();
    SavePng(image, name);

    std::ifstream file(name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    QImage read;
    ASSERT_TRUE(read.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "PNG"));
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB888), image);

    EXPECT_THROW(SavePng(image, (dir.Path() / "none" / "tile.png").native()), EFCreateError);
}
