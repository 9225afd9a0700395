// The one handle owner: every handle freed exactly once, null never.
#include <gtest/gtest.h>

#include <type_traits>
#include <utility>
#include <vector>

#include "owned.h"

namespace {

std::vector<int> g_freed;

void free_handle(int* handle) { g_freed.push_back(*handle); }

using OwnedInt = qz::Owned<int*, free_handle>;

class OwnedTest : public testing::Test {
protected:
    void SetUp() override { g_freed.clear(); }
    int a = 1, b = 2, c = 3;
};

TEST_F(OwnedTest, EmptyOwnerFreesNothing)
{
    {
        OwnedInt none;
        EXPECT_FALSE(none);
        EXPECT_EQ(none.get(), nullptr);
        none.reset();
        OwnedInt null(nullptr);
        EXPECT_FALSE(null);
    }
    EXPECT_TRUE(g_freed.empty());
}

TEST_F(OwnedTest, FreedOnceAtTheEndOfItsOwner)
{
    {
        OwnedInt owner(&a);
        EXPECT_TRUE(owner);
        EXPECT_EQ(owner.get(), &a);
    }
    EXPECT_EQ(g_freed, std::vector<int>{1});
}

TEST_F(OwnedTest, MoveHandsOverWithoutFreeing)
{
    {
        OwnedInt first(&a);
        OwnedInt second(std::move(first));
        EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
        EXPECT_EQ(second.get(), &a);
        EXPECT_TRUE(g_freed.empty());

        OwnedInt third(&b);
        third = std::move(second);  // frees b, takes a
        EXPECT_EQ(g_freed, std::vector<int>{2});
        EXPECT_EQ(third.get(), &a);

        OwnedInt& same = third;
        third = std::move(same);  // moving onto itself keeps the handle
        EXPECT_EQ(third.get(), &a);
        EXPECT_EQ(g_freed, std::vector<int>{2});
    }
    EXPECT_EQ(g_freed, (std::vector<int>{2, 1}));
}

TEST_F(OwnedTest, ReleaseHandsTheHandleOutForGood)
{
    int* handle = nullptr;
    {
        OwnedInt owner(&a);
        handle = owner.release();
        EXPECT_FALSE(owner);
        EXPECT_EQ(owner.release(), nullptr);
    }
    EXPECT_EQ(handle, &a);
    EXPECT_TRUE(g_freed.empty());
}

TEST_F(OwnedTest, ResetFreesTheOldHandleAndKeepsTheNew)
{
    {
        OwnedInt owner(&a);
        owner.reset(&b);
        EXPECT_EQ(g_freed, std::vector<int>{1});
        EXPECT_EQ(owner.get(), &b);
        owner.reset();
        EXPECT_EQ(g_freed, (std::vector<int>{1, 2}));
        EXPECT_FALSE(owner);
        owner.reset(&c);
    }
    EXPECT_EQ(g_freed, (std::vector<int>{1, 2, 3}));
}

// The free function sees the owner empty already, so a free that looks back
// at its owner (as a GObject's dispose may) does not free twice.
void free_and_look(int* handle);
using Watched = qz::Owned<int*, free_and_look>;
Watched* g_watched = nullptr;
bool g_held_while_freed = false;
void free_and_look(int* handle)
{
    g_freed.push_back(*handle);
    g_held_while_freed = static_cast<bool>(*g_watched);
}

TEST_F(OwnedTest, OwnerIsEmptyWhileItsHandleIsFreed)
{
    Watched owner(&a);
    g_watched = &owner;
    owner.reset(&b);
    EXPECT_EQ(g_freed, std::vector<int>{1});
    EXPECT_TRUE(g_held_while_freed) << "already holding the new handle";
    owner.reset();
    EXPECT_FALSE(g_held_while_freed);
    EXPECT_EQ(g_freed, (std::vector<int>{1, 2}));
}

static_assert(!std::is_copy_constructible_v<OwnedInt> && !std::is_copy_assignable_v<OwnedInt>);
static_assert(std::is_nothrow_move_constructible_v<OwnedInt> && std::is_nothrow_move_assignable_v<OwnedInt>);

}  // namespace
