#include "LabelMasks.h"

#include "AnsiText.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

TLabelMasks::TLabelMasks(const QFont& font) : FFont(font), FMetrics(font)
{
}

const TLabelMask& TLabelMasks::Get(std::size_t index, const std::string& name)
{
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

// The text is drawn with room on every side for glyphs that reach past their
// advance or the line; where ink still touches the border, the room doubles.
TLabelMask TLabelMasks::Render(const std::string& name) const
{
    const QString text = AnsiToQString(name);
    const int advance = std::max(FMetrics.horizontalAdvance(text), FMetrics.boundingRect(text).right() + 1);
    for (int room = FFont.pixelSize();; room *= 2) {
        QImage canvas(std::max(advance, 0) + 2 * room, FMetrics.height() + 2 * room, QImage::Format_Alpha8);
        canvas.fill(0);
        {
            QPainter painter(&canvas);
            painter.setPen(Qt::black);
            painter.setFont(FFont);
            painter.drawText(room, room + FMetrics.ascent(), text);
        }
        int left = canvas.width(), top = canvas.height(), right = -1, bottom = -1;
        for (int y = 0; y < canvas.height(); ++y) {
            const uchar* row = canvas.constScanLine(y);
            for (int x = 0; x < canvas.width(); ++x)
                if (row[x] != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        }
        if (right < 0)
            return {};
        const bool touches = left == 0 || top == 0 || right == canvas.width() - 1 || bottom == canvas.height() - 1;
        if (touches && 2 * room <= Reach())
            continue;
        TLabelMask mask{left - room, top - room, right - left + 1, bottom - top + 1, {}};
        mask.Coverage.reserve(mask.Stride() * static_cast<std::size_t>(mask.Height));
        for (int y = top; y <= bottom; ++y) {
            const uchar* row = canvas.constScanLine(y);
            mask.Coverage.insert(mask.Coverage.end(), row + left, row + right + 1);
            mask.Coverage.insert(mask.Coverage.end(), TLabelMask::RowPadding, 0);
        }
        return mask;
    }
}
