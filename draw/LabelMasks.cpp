#include "LabelMasks.h"

#include "AnsiText.h"
#include "FastPaths.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <iterator>

TLabelMasks::TLabelMasks(const QFont& font) : FFont(font), FMetrics(font)
{
}

std::int64_t TLabelMasks::WidthBound(const std::string& name)
{
    if (!FAdvanceReady) {
        const QFontMetricsF metrics(FFont);
        for (int byte = 0; byte < 256; ++byte) {
            const QString text = AnsiToQString(std::string(1, static_cast<char>(byte)));
            const qreal advance = std::max(metrics.horizontalAdvance(text), metrics.horizontalAdvance(text.at(0)));
            FAdvance[static_cast<std::size_t>(byte)] = static_cast<std::int32_t>(std::ceil(advance)) + 1;
        }
        FAdvanceReady = true;
    }
    std::int64_t width = 0;
    for (const char c : name)
        width += FAdvance[static_cast<unsigned char>(c)];
    return width;
}

const TLabelMask& TLabelMasks::Get(std::size_t index, const std::string& name)
{
    if (!UseFastPath(TFastPath::LabelCache)) {
        FUncached = Render(name);
        return FUncached;
    }
    if (index < FSlots.size() && FSlots[index] != 0 && FEntries[FSlots[index] - 1].Name == name)
        return FEntries[FSlots[index] - 1].Mask;
    TEntry entry{name, Render(name)};
    const std::size_t bytes = entry.Mask.Coverage.size() + name.size() + sizeof(TEntry);
    if (FBytes + bytes > MaxBytes) {
        FEntries.clear();
        std::fill(FSlots.begin(), FSlots.end(), 0);
        FBytes = 0;
    }
    FBytes += bytes;
    if (index >= FSlots.size())
        FSlots.resize(index + 1, 0);
    FEntries.push_back(std::move(entry));
    FSlots[index] = static_cast<std::uint32_t>(FEntries.size());
    return FEntries.back().Mask;
}

void TLabelMasks::PrepareCanvas(int width, int height)
{
    if (width > FCanvas.width() || height > FCanvas.height()) {
        FPainter.reset();
        FCanvas = QImage(std::max(width, FCanvas.width()), std::max(height, FCanvas.height()), QImage::Format_Alpha8);
        FPainter = std::make_unique<QPainter>(&FCanvas);
        FPainter->setPen(Qt::black);
        FPainter->setFont(FFont);
    }
    for (int y = 0; y < height; ++y)
        std::fill_n(FCanvas.scanLine(y), width, 0);
}

// The text is drawn with room on every side for glyphs that reach past their
// width bound or the line; where ink still touches the border, the room
// doubles.
TLabelMask TLabelMasks::Render(const std::string& name)
{
    const QString text = AnsiToQString(name);
    const auto bound = static_cast<int>(WidthBound(name));
    for (int room = Room();; room *= 2) {
        const int width = bound + 2 * room;
        const int height = FMetrics.height() + 2 * room;
        PrepareCanvas(width, height);
        FPainter->drawText(room, room + FMetrics.ascent(), text);
        int left = width, top = height, right = -1, bottom = -1;
        for (int y = 0; y < height; ++y) {
            const uchar* row = FCanvas.constScanLine(y);
            const uchar* end = row + width;
            const uchar* first = std::find_if(row, end, [](uchar a) { return a != 0; });
            if (first == end)
                continue;
            const uchar* last = std::find_if(std::make_reverse_iterator(end), std::make_reverse_iterator(first),
                                             [](uchar a) { return a != 0; })
                                    .base();
            left = std::min(left, static_cast<int>(first - row));
            right = std::max(right, static_cast<int>(last - row) - 1);
            top = std::min(top, y);
            bottom = y;
        }
        if (right < 0)
            return {};
        const bool touches = left == 0 || top == 0 || right == width - 1 || bottom == height - 1;
        if (touches && 2 * room <= Reach())
            continue;
        TLabelMask mask{left - room, top - room, right - left + 1, bottom - top + 1, {}};
        mask.Coverage.reserve(mask.Stride() * static_cast<std::size_t>(mask.Height));
        for (int y = top; y <= bottom; ++y) {
            const uchar* row = FCanvas.constScanLine(y);
            mask.Coverage.insert(mask.Coverage.end(), row + left, row + right + 1);
            mask.Coverage.insert(mask.Coverage.end(), TLabelMask::RowPadding, 0);
        }
        return mask;
    }
}
