// The order of a sorted list's texts: the collator's order, texts that
// compare equal in the order they came (a stable sort).
//
// Each text's collation key is made once, so that n texts cost n keys and
// n log n cheap comparisons of keys rather than n log n collations. In the C
// locale Qt collates by the case-folded UTF-16 units (each folded on its own,
// a low surrogate together with the high one before it), or by the plain
// units when case counts; its sort keys there are the UTF-8 bytes whatever the
// case setting, so in that locale the keys are those units instead. Other
// locales use the collator's own sort keys.
#pragma once

#include "HugePages.h"

#include <QCollator>
#include <QStringView>

#include <cstdint>
#include <vector>

using TTextStarts = std::vector<std::uint32_t, THugePageAllocator<std::uint32_t>>;
using TTextOrder = std::vector<std::uint32_t, THugePageAllocator<std::uint32_t>>;

// Text i is the run of texts from starts[i] to starts[i + 1]; starts holds one
// offset more than there are texts. Gives the numbers of the texts in order.
TTextOrder CollatedOrder(const QCollator& collator, QStringView texts, const TTextStarts& starts);
