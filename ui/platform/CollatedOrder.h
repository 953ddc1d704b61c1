// The order of a sorted list's texts, 8-bit text in the system code page
// (AnsiText.h): the collator's order of the texts as Unicode, texts that
// compare equal in the order they came (a stable sort).
//
// Each text's collation key is made once, so that n texts cost n keys and
// n log n cheap comparisons of keys rather than n log n collations. In the C
// locale Qt collates by the UTF-16 units, each case-folded on its own when
// case does not count; its sort keys there are the UTF-8 bytes whatever the
// case setting, so in that locale the keys are made here from the folded
// units instead. Other locales use the collator's own sort keys.
#pragma once

#include "HugePages.h"

#include <QCollator>

#include <cstdint>
#include <string_view>
#include <vector>

using TTextStarts = std::vector<std::uint32_t, THugePageAllocator<std::uint32_t>>;
using TTextOrder = std::vector<std::uint32_t, THugePageAllocator<std::uint32_t>>;

// Text i is the run of texts from starts[i] to starts[i + 1]; starts holds one
// offset more than there are texts. Gives the numbers of the texts in order.
TTextOrder CollatedOrder(const QCollator& collator, std::string_view texts, const TTextStarts& starts);
