#include "Errors.h"
#include "SortedComboBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

} // namespace

TEST(SortedComboBox, InsertsEachTextAtItsCaseInsensitiveSortedPlace)
{
    TSortedComboBox box(nullptr);
    for (const char* name : {"Mirefen", "ashgrove", "Brackwater", "", "Zel", "Ashgrove", "brackwater", "Ashgrove"})
        box.AddSorted(name);
    // Equal names stay separate, each new one after the equal ones before it.
    EXPECT_EQ(Items(box), (QStringList{"", "ashgrove", "Ashgrove", "Ashgrove", "Brackwater", "brackwater", "Mirefen",
                                       "Zel"}));
    EXPECT_FALSE(box.isEditable());
}

TEST(SortedComboBox, ShowsEachEntryAsTheUnicodeOfItsWindows1252Text)
{
    TSortedComboBox box(nullptr);
    box.AddSorted("\x80 \xC9lan \x8A\x81");
    const QString text = QString::fromUtf8("\u20AC \u00C9lan \u0160\u0081");
    EXPECT_EQ(box.itemText(0), text);
    EXPECT_EQ(box.itemData(0, Qt::EditRole).toString(), text);
}

TEST(SortedComboBox, AddingLeavesTheSelectionAlone)
{
    TSortedComboBox box(nullptr);
    box.AddSorted("Kettle");
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.currentText(), QString());

    box.setCurrentIndex(0);
    box.AddSorted("Anvil");
    EXPECT_EQ(box.currentText(), QStringLiteral("Kettle"));
    EXPECT_EQ(box.currentIndex(), 1);
}

TEST(SortedComboBox, ARefusedEntryRaisesEOutOfResources)
{
    TSortedComboBox box(nullptr);
    box.setMaxCount(1);
    box.AddSorted("one");
    try {
        box.AddSorted("two");
        FAIL() << "no exception";
    } catch (const EOutOfResources& error) {
        EXPECT_STREQ(error.what(), "Unable to insert a line");
    }
    EXPECT_EQ(box.count(), 1);
}

TEST(SortedComboBox, AnUpdateGivesTheListThatAddingOneByOneGives)
{
    const std::vector<std::string> before{"Mirefen", "ashgrove", "Zel"};
    const std::vector<std::string> added{"Brackwater", "Ashgrove", "", "mirefen", "Zel", "ashgrove", "Anvil", "brackwater"};
    TSortedComboBox oneByOne(nullptr);
    TSortedComboBox updated(nullptr);
    for (TSortedComboBox* box : {&oneByOne, &updated}) {
        for (const std::string& name : before)
            box->AddSorted(name);
        box->setCurrentIndex(1);
    }

    updated.BeginUpdate();
    for (const std::string& name : added) {
        oneByOne.AddSorted(name);
        updated.AddSorted(name);
    }
    // Nothing shows before the update ends.
    EXPECT_EQ(Items(updated), (QStringList{"ashgrove", "Mirefen", "Zel"}));
    updated.EndUpdate();

    EXPECT_EQ(Items(updated), Items(oneByOne));
    EXPECT_EQ(updated.currentText(), QStringLiteral("Mirefen"));
    EXPECT_EQ(updated.currentIndex(), oneByOne.currentIndex());

    // Into an empty list, nothing selected.
    TSortedComboBox empty(nullptr);
    {
        const TSortedComboBoxUpdate update(empty);
        for (const std::string& name : added)
            empty.AddSorted(name);
    }
    EXPECT_EQ(empty.count(), static_cast<int>(added.size()));
    EXPECT_EQ(empty.currentIndex(), -1);
}

TEST(SortedComboBox, AnUpdateRefusesWhatTheListCannotHold)
{
    TSortedComboBox box(nullptr);
    box.setMaxCount(2);
    box.AddSorted("one");
    {
        const TSortedComboBoxUpdate update(box);
        box.AddSorted("two");
        EXPECT_THROW(box.AddSorted("three"), EOutOfResources);
    }
    EXPECT_EQ(Items(box), (QStringList{"one", "two"}));
}
