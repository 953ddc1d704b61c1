#include "AnsiText.h"
#include "CollatedOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>

// Random texts with equal ones, empty ones, common prefixes longer than the
// sort's digits, case and accents, control and undefined bytes, and one text
// of every byte.
TEST(CollatedOrder, IsTheStableOrderOfTheCollatorsComparison)
{
    std::mt19937 random(3);
    const char alphabet[] = {'a', 'A', 'b', 'z', 'Z', ' ', '\0', '\x01', '\xE9', '\xC9', '\x8A', '\x9A', '\x81', '\xFF',
                             '\x9F', '\xDF', '\xB5', '\x99'};
    std::string texts;
    for (int byte = 0; byte < 256; ++byte)
        texts += static_cast<char>(byte);
    TTextStarts starts{0, static_cast<std::uint32_t>(texts.size())};
    for (int i = 0; i < 4000; ++i) {
        if (random() % 2)
            texts += random() % 2 ? "Upper Longbottom " : "upper longbottom";
        // Half the texts of 'a' and 'A' alone, which makes many of them
        // begin with others.
        const std::size_t letters = random() % 2 ? sizeof alphabet : 2;
        for (std::size_t length = random() % 20; length > 0; --length)
            texts += alphabet[random() % letters];
        starts.push_back(static_cast<std::uint32_t>(texts.size()));
    }
    std::vector<QString> unicode;
    for (std::size_t i = 0; i + 1 < starts.size(); ++i)
        unicode.push_back(AnsiToQString(std::string_view(texts).substr(starts[i], starts[i + 1] - starts[i])));

    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        for (const Qt::CaseSensitivity sensitivity : {Qt::CaseInsensitive, Qt::CaseSensitive}) {
            QCollator collator(locale);
            collator.setCaseSensitivity(sensitivity);
            TTextOrder expected(unicode.size());
            std::iota(expected.begin(), expected.end(), std::uint32_t{0});
            std::stable_sort(expected.begin(), expected.end(),
                             [&](std::uint32_t a, std::uint32_t b) { return collator.compare(unicode[a], unicode[b]) < 0; });
            EXPECT_EQ(CollatedOrder(collator, texts, starts), expected) << locale.name().toStdString() << " " << sensitivity;
        }
    }
}
