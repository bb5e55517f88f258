// What the program showed in a control and what the user entered over it.

#include "forms/Controls.h"
#include "forms/TreeView.h"

#include <gtest/gtest.h>

namespace zor::forms {
namespace {

TEST(Entry, AValueDifferentFromTheShownOneIsModifiedUntilTakenOrDropped)
{
    SpinEdit edit { 0, 100, 0.1, 1, 10 };
    EXPECT_FALSE(edit.modified());
    edit.show(20);
    edit.setValue(25);
    EXPECT_TRUE(edit.modified());
    edit.revert();
    EXPECT_EQ(edit.value(), 20);
    EXPECT_FALSE(edit.modified());
    edit.setValue(30);
    edit.accept();
    EXPECT_FALSE(edit.modified());
    edit.setValue(20);
    edit.revert();
    EXPECT_EQ(edit.value(), 30);
    // Entering the shown value again is no change.
    edit.setValue(30);
    EXPECT_FALSE(edit.modified());
}

TEST(Entry, AnEnteredValueStaysInFrontOfWhatTheProgramShowsNext)
{
    SpinEdit edit { 0, 100, 0.1, 1, 10 };
    edit.setValue(19.87);
    edit.show(20);
    EXPECT_EQ(edit.value(), 19.87);
    EXPECT_TRUE(edit.modified());
    edit.show(21);
    edit.revert();
    EXPECT_EQ(edit.value(), 21);
}

TEST(Entry, ShowingClampsLikeSettingAndCountsTheClampedValueAsShown)
{
    SpinEdit edit { 0, 25.5, 0.1, 1, 0 };
    edit.show(40);
    EXPECT_EQ(edit.value(), 25.5);
    EXPECT_FALSE(edit.modified());
}

TEST(Entry, AnEnteredValueIsWhatTheEditShowsWhenItsBoundsMoveAfterwards)
{
    SpinEdit edit { 0, 100, 0.1, 1, 0 };
    edit.show(20);
    edit.setValue(90);
    edit.setMax(50); // as a later read sets it
    EXPECT_EQ(edit.value(), 50);
    EXPECT_EQ(edit.text(','), "50,0");
    edit.setMax(100);
    edit.setMin(95);
    EXPECT_EQ(edit.value(), 95);
    EXPECT_TRUE(edit.modified());
}

TEST(Entry, ListsAndCheckBoxesKeepTheirShownStateToo)
{
    ComboList list { { "1", "2" } };
    list.show(-1);
    list.setItemIndex(1);
    EXPECT_TRUE(list.modified());
    list.revert();
    EXPECT_EQ(list.itemIndex(), -1);

    CheckBox box { "x" };
    box.show(true);
    box.setChecked(false);
    EXPECT_TRUE(box.modified());
    box.revert();
    EXPECT_TRUE(box.checked());
}

TEST(TreeSelection, TheSelectedNodeIsForgottenWithItsBranch)
{
    TreeView tree;
    TreeNode* model = tree.add(nullptr, "ZOR-10", 4);
    TreeNode* device = tree.add(model, "#1 : 06000101", 0);
    tree.setSelected(device);
    EXPECT_EQ(tree.selected(), device);
    tree.remove(model);
    EXPECT_EQ(tree.selected(), nullptr);

    TreeNode* again = tree.add(nullptr, "ZOR-10", 4);
    tree.setSelected(again);
    tree.clear();
    EXPECT_EQ(tree.selected(), nullptr);
    TreeView other;
    tree.setSelected(other.add(nullptr, "elsewhere", 0));
    EXPECT_EQ(tree.selected(), nullptr);
}

} // namespace
} // namespace zor::forms
