#include "tarvo/list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A list whose payloads are NUL-terminated names, released whole by the fixture.
class ObjectList : public ::testing::Test {
  protected:
    void SetUp() override {
        head_ = cl_inithd();
        ASSERT_NE(head_, nullptr);
    }
    void TearDown() override {
        if (head_ != nullptr) {
            EXPECT_EQ(cl_clrlist(head_), 0);
            EXPECT_EQ(cl_del(head_, head_), 0);
        }
    }

    cl_node* Insert(cl_node* after, const std::string& name) {
        cl_node* node = cl_ins(after, name.size() + 1);
        EXPECT_NE(node, nullptr);
        if (node != nullptr) {
            std::memcpy(node->data, name.c_str(), name.size() + 1);
        }
        return node;
    }

    // Names in list order, walked forwards; also checks the backward walk agrees.
    std::vector<std::string> Walk() const {
        std::vector<std::string> forward;
        for (cl_node* p = cl_first(head_); p != head_; p = cl_next(p)) {
            forward.emplace_back(static_cast<const char*>(p->data));
        }
        std::vector<std::string> backward;
        for (cl_node* p = cl_last(head_); p != head_; p = cl_prev(p)) {
            backward.insert(backward.begin(), static_cast<const char*>(p->data));
        }
        EXPECT_EQ(forward, backward);
        return forward;
    }

    cl_node* head_ = nullptr;
};

using Names = std::vector<std::string>;

TEST_F(ObjectList, NewHeadIsEmptyAndTakesAnEmptyNode) {
    EXPECT_EQ(cl_count(head_), 0);
    EXPECT_EQ(cl_first(head_), head_);
    EXPECT_EQ(cl_last(head_), head_);
    EXPECT_EQ(head_->data, nullptr);
    EXPECT_EQ(cl_numptr(0, head_), nullptr);
    EXPECT_EQ(cl_ptrnum(head_, head_), -1);
    cl_node* node = cl_ins(head_, 0);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->data, nullptr) << "a zero size gives no payload";
    EXPECT_EQ(cl_count(head_), 1);
}

TEST_F(ObjectList, InsertsAfterTheGivenNode) {
    cl_node* a = Insert(head_, "A");
    Insert(a, "B");
    EXPECT_EQ(Walk(), (Names{"A", "B"}));
    Insert(head_, "C");
    EXPECT_EQ(Walk(), (Names{"C", "A", "B"}));
    Insert(cl_last(head_), "D");
    EXPECT_EQ(Walk(), (Names{"C", "A", "B", "D"}));
    EXPECT_EQ(cl_count(head_), 4);
}

TEST_F(ObjectList, PositionsAndNodesMapBothWays) {
    for (const char* name : {"A", "B", "C"}) {
        Insert(cl_last(head_), name);
    }
    for (int i = 0; i < 3; ++i) {
        cl_node* node = cl_numptr(i, head_);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(cl_ptrnum(node, head_), i);
    }
    EXPECT_STREQ(static_cast<const char*>(cl_numptr(2, head_)->data), "C");
    EXPECT_EQ(cl_numptr(3, head_), nullptr);
    EXPECT_EQ(cl_numptr(-1, head_), nullptr);
    EXPECT_EQ(cl_numptr(0, nullptr), nullptr);

    cl_node* other = cl_inithd();
    ASSERT_NE(other, nullptr);
    cl_node* stranger = cl_ins(other, 0);
    EXPECT_EQ(cl_ptrnum(stranger, head_), -1);
    EXPECT_EQ(cl_ptrnum(nullptr, head_), -1);
    EXPECT_EQ(cl_ptrnum(stranger, nullptr), -1);
    cl_clrlist(other);
    cl_del(other, other);
}

TEST_F(ObjectList, DeleteUnlinksOnlyListedNodesAndKeepsTheRest) {
    for (const char* name : {"A", "B", "C"}) {
        Insert(cl_last(head_), name);
    }
    EXPECT_EQ(cl_del(cl_numptr(1, head_), head_), 0);
    EXPECT_EQ(Walk(), (Names{"A", "C"}));
    EXPECT_EQ(cl_del(cl_first(head_), head_), 0);
    EXPECT_EQ(Walk(), (Names{"C"}));
    EXPECT_EQ(cl_del(cl_last(head_), head_), 0);
    EXPECT_EQ(Walk(), Names{});
    // The head argument may be left out; null and unlinked nodes are ignored.
    Insert(cl_last(head_), "A");
    Insert(cl_last(head_), "B");
    EXPECT_EQ(cl_del(cl_first(head_), nullptr), 0);
    EXPECT_EQ(cl_del(nullptr, head_), 0);
    cl_node loose{nullptr, nullptr, nullptr};
    EXPECT_EQ(cl_del(&loose, head_), 0);
    EXPECT_EQ(Walk(), (Names{"B"}));
    EXPECT_NE(cl_del(head_, head_), 0) << "the head of a non-empty list stays";
    EXPECT_EQ(Walk(), (Names{"B"}));
}

TEST_F(ObjectList, ClearFreesEveryNode) {
    // The sanitizer's leak check at exit catches a payload or node that is not freed.
    for (int i = 0; i < 3; ++i) {
        Insert(head_, std::string(100 + i, 'x'));
    }
    EXPECT_EQ(cl_clrlist(head_), 0);
    EXPECT_EQ(cl_count(head_), 0);
    EXPECT_EQ(cl_first(head_), head_);
    EXPECT_EQ(cl_last(head_), head_);
    EXPECT_EQ(cl_clrlist(head_), 0);
    Insert(head_, "again");
    EXPECT_EQ(Walk(), (Names{"again"}));
}

TEST(ObjectListNull, NullArgumentsAreHarmless) {
    EXPECT_EQ(cl_first(nullptr), nullptr);
    EXPECT_EQ(cl_next(nullptr), nullptr);
    EXPECT_EQ(cl_last(nullptr), nullptr);
    EXPECT_EQ(cl_prev(nullptr), nullptr);
    EXPECT_EQ(cl_count(nullptr), 0);
    EXPECT_EQ(cl_ins(nullptr, 8), nullptr);
    EXPECT_EQ(cl_clrlist(nullptr), 0);
    EXPECT_EQ(cl_del(nullptr, nullptr), 0);
}

TEST(ObjectListNull, DeletingAnEmptyHeadFreesIt) {
    cl_node* head = cl_inithd();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(cl_del(head, head), 0);  // the leak check would report it otherwise
}

}  // namespace
