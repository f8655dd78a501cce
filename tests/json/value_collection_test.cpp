#include "json/value_collection.h"

#include <gtest/gtest.h>

namespace quillark {
namespace {

// root, a, x, b: a has the child x, b has none.
class SmallTree : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = values_.AddNode(0, "JSON", ValueKind::kObject, "{...}");
        a_ = values_.AddNode(root_, "a", ValueKind::kObject, "{x}");
        x_ = values_.AddNode(a_, "x", ValueKind::kPlain, "1");
        b_ = values_.AddNode(root_, "b", ValueKind::kPlain, "2");
    }

    std::vector<std::string> Names() const {
        std::vector<ValueNode> nodes;
        values_.CopyNodes(nodes);
        std::vector<std::string> names;
        for (const ValueNode& node : nodes) {
            names.push_back(node.name + "/" + std::to_string(node.level) + "/" +
                            std::to_string(node.child_count) + "/" + std::to_string(node.ordinal));
        }
        return names;
    }

    ValueCollection values_;
    int root_ = 0, a_ = 0, x_ = 0, b_ = 0;
};

TEST(ValueCollectionEmpty, AnswersNotFound) {
    ValueCollection values;
    EXPECT_EQ(values.NodeCount(), 0);
    EXPECT_EQ(values.ChildCount(1), -1);
    EXPECT_EQ(values.NodeValue(1), "");
    EXPECT_EQ(values.FindByName(2, "any", 1), -1);
    EXPECT_EQ(values.NodeLevel(0), -1);
    EXPECT_EQ(values.NodeKind(1), -1);
    EXPECT_FALSE(values.HasChildren(1));
    EXPECT_FALSE(values.SetNodeValue(1, "v"));
    EXPECT_FALSE(values.RemoveNode(1, false));
    EXPECT_EQ(values.ParentOf(1), -1);
}

TEST_F(SmallTree, ListIsDocumentOrderWithLevelsCountsAndOrdinals) {
    EXPECT_EQ((std::vector<int>{root_, a_, x_, b_}), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"JSON/1/2/1", "a/2/1/1", "x/3/0/1", "b/2/0/2"}));
    EXPECT_EQ(values_.SubtreeEnd(a_), b_);
    EXPECT_EQ(values_.SubtreeEnd(b_), -1);
    EXPECT_EQ(values_.SubtreeEnd(root_), -1);
    EXPECT_EQ(values_.ParentOf(x_), a_);
    EXPECT_EQ(values_.ParentOf(b_), root_);
    EXPECT_EQ(values_.ParentOf(root_), 0);
    EXPECT_EQ(values_.ParentAtLevel(b_, 0), root_);
    EXPECT_EQ(values_.ParentAtLevel(5, 3), b_);  // where a child of b would go
    EXPECT_EQ(values_.NodeValue(a_), "{x}");
}

TEST_F(SmallTree, WalksStayInsideTheSubtree) {
    EXPECT_EQ(values_.FindByName(3, "x", a_), x_);
    EXPECT_EQ(values_.FindByName(3, "x", b_), -1);
    EXPECT_EQ(values_.FindByName(2, "b", root_), b_);
    EXPECT_EQ(values_.FindByName(2, "B", root_), -1);  // case-sensitive
    EXPECT_EQ(values_.FindByName(2, "b", a_), b_);     // the walk may start at a sibling
    EXPECT_EQ(values_.FindByName(1, "JSON", 0), root_);
    EXPECT_EQ(values_.NthAtLevel(2, 2, root_), b_);
    EXPECT_EQ(values_.NthAtLevel(2, 3, root_), -1);
    std::vector<int> found = {99};
    EXPECT_EQ(values_.CollectAtLevel(2, found, root_), 2);  // ran to the end
    EXPECT_EQ(found, (std::vector<int>{a_, b_}));
    EXPECT_EQ(values_.CollectAtLevel(3, found, a_), 0);  // stopped at b
    EXPECT_EQ(found, (std::vector<int>{x_}));
}

TEST_F(SmallTree, AppendedChildGoesAfterLastDescendant) {
    EXPECT_EQ(values_.AddNode(a_, "y", ValueKind::kPlain, "3"), 4);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"JSON/1/2/1", "a/2/2/1", "x/3/0/1", "y/3/0/2", "b/2/0/2"}));
    EXPECT_EQ(values_.FindByName(2, "b", root_), 5);
    EXPECT_EQ(values_.FindByName(3, "y", a_), 4);
}

TEST_F(SmallTree, ChildAtPositionOneGoesFirst) {
    EXPECT_EQ(values_.AddNode(a_, "w", ValueKind::kPlain, "0", 1), 3);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"JSON/1/2/1", "a/2/2/1", "w/3/0/1", "x/3/0/2", "b/2/0/2"}));
}

TEST_F(SmallTree, RemovingALeafRemovesItAlone) {
    EXPECT_TRUE(values_.RemoveNode(x_, false));
    EXPECT_EQ(Names(), (std::vector<std::string>{"JSON/1/2/1", "a/2/0/1", "b/2/0/2"}));
    EXPECT_EQ(values_.FindByName(2, "b", root_), 3);
}

TEST_F(SmallTree, RemovingWithKeptChildrenMovesThemToThePreviousSibling) {
    values_.AddNode(b_, "p", ValueKind::kPlain, "");
    values_.AddNode(b_, "q", ValueKind::kPlain, "");
    EXPECT_TRUE(values_.RemoveNode(b_, true));
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"JSON/1/1/1", "a/2/3/1", "x/3/0/1", "p/3/0/2", "q/3/0/3"}));
    EXPECT_EQ(values_.ParentOf(5), a_);
}

TEST_F(SmallTree, RemovingFirstChildWithKeptChildrenRemovesWholeStretch) {
    EXPECT_TRUE(values_.RemoveNode(a_, true));
    EXPECT_EQ(Names(), (std::vector<std::string>{"JSON/1/1/1", "b/2/0/1"}));
}

TEST_F(SmallTree, ListsArePlacedAsSiblings) {
    std::vector<ValueNode> list = {{"m", 0, "1", 7, 0, 0}, {"n", 0, "2", 7, 0, 0}};
    EXPECT_EQ(values_.AddNode(root_, "", 0, "", 0, &list, true, true), 5);
    EXPECT_EQ(list[0].ordinal, 3);
    EXPECT_EQ(list[1].level, 2);
    EXPECT_EQ(values_.ChildCount(root_), 4);
    EXPECT_EQ(values_.FindByName(2, "n", root_), 6);

    std::vector<ValueNode> top = {{"t", 0, "", 0, 0, 0}};
    EXPECT_EQ(values_.AddNode(0, "", 0, "", 1, &top, true, true), 1);
    EXPECT_EQ(values_.NodeName(1), "t");
    EXPECT_EQ(values_.FindByName(1, "JSON", 0), 2);
}

TEST_F(SmallTree, RenamingKeepsLookupsRight) {
    EXPECT_TRUE(values_.SetNodeName(b_, "a"));
    EXPECT_EQ(values_.FindByName(2, "a", root_), a_);
    EXPECT_TRUE(values_.SetNodeName(a_, "z"));
    EXPECT_EQ(values_.FindByName(2, "a", root_), b_);
    EXPECT_EQ(values_.FindByName(2, "b", root_), -1);
}

TEST_F(SmallTree, DuplicateNamesFindTheFirst) {
    int second_a = values_.AddNode(root_, "a", ValueKind::kPlain, "later");
    EXPECT_EQ(values_.FindByName(2, "a", root_), a_);
    EXPECT_EQ(values_.FindByName(2, "a", a_), second_a);  // the walk from a starts after it
}

TEST_F(SmallTree, ClearAndCopy) {
    ValueCollection copy = values_;
    values_.ClearNodes();
    EXPECT_EQ(values_.NodeCount(), 0);
    EXPECT_EQ(values_.AddNode(0, "fresh", 0, ""), 1);
    std::vector<ValueNode> nodes;
    values_.CopyNodes(nodes);
    EXPECT_EQ(nodes[0].ordinal, 1);
    EXPECT_EQ(copy.NodeCount(), 4);
    EXPECT_EQ(copy.FindByName(3, "x", 2), 3);
}

TEST(ValueCollectionLevels, SetLevelsSetsOrShifts) {
    std::vector<ValueNode> list(2);
    list[0].level = 3;
    list[1].level = 5;
    EXPECT_EQ(ValueCollection::SetLevels(list, 0, 2), 2);
    EXPECT_EQ(list[0].level, 5);
    EXPECT_EQ(list[1].level, 7);
    ValueCollection::SetLevels(list, 4, 0);
    EXPECT_EQ(list[1].level, 4);
}

TEST(ValueCollectionLevels, BrokenOrdinalsFromACallerListDoNotHangParentSearch) {
    ValueCollection values;
    values.AddNode(0, "r", 0, "");
    // Placed at a position, only the nodes at the child level are renumbered:
    // b keeps the ordinal it came with.
    std::vector<ValueNode> list = {{"a", 0, "", 1, 0, 0}, {"b", 0, "", 3, 0, -5}};
    values.AddNode(0, "", 0, "", 1, &list, true, false);
    std::vector<ValueNode> nodes;
    values.CopyNodes(nodes);
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[1].ordinal, -5);
    EXPECT_EQ(nodes[2].ordinal, 2);
    EXPECT_EQ(values.ParentOf(2), -1);
    EXPECT_EQ(values.ParentAtLevel(9, 3), -1);
}

}  // namespace
}  // namespace quillark
