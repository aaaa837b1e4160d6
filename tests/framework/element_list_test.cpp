// Walking a chain of elements by position and flagging the element found.
#include <gtest/gtest.h>

#include "element_list.h"
#include "host_services.h"

// The framework's service calls reach the host through this slot; these tests call none.
ImportTableRecord ImportTable = {};

namespace {

// A chain root -> middle -> last, where `last` has an empty child list.
struct Chain {
    ElementHeader root{}, middle{}, last{};
    ElementHeader* root_children[2] = {&middle, nullptr};
    ElementHeader* middle_children[2] = {&last, nullptr};
    ElementHeader* last_children[1] = {nullptr};
    Chain() {
        for (ElementHeader* element : {&root, &middle, &last}) element->flags = ELEMENT_FLAGS_AT_LOAD;
        root.children = root_children;
        middle.children = middle_children;
        last.children = last_children;
    }
};

TEST(ElementNth, WalksFirstChildrenAndStopsAtTheEnd) {
    Chain chain;
    EXPECT_EQ(element_nth(&chain.root, 0), &chain.root);
    EXPECT_EQ(element_nth(&chain.root, 1), &chain.middle);
    EXPECT_EQ(element_nth(&chain.root, 2), &chain.last);
    EXPECT_EQ(element_nth(&chain.root, 3), nullptr);  // empty child list
    EXPECT_EQ(element_nth(&chain.root, 0xFFFFFFFFu), nullptr);
    chain.middle.children = nullptr;
    EXPECT_EQ(element_nth(&chain.root, 2), nullptr);  // no child list
}

TEST(ElementNth, NullStartFindsNothing) {
    EXPECT_EQ(element_nth(nullptr, 0), nullptr);
    EXPECT_EQ(element_nth(nullptr, 5), nullptr);
}

TEST(ElementFlags, SetThenClearRestoresTheWordExactly) {
    Chain chain;
    chain.middle.flags |= ELEMENT_LIT;
    const uint32_t before = chain.middle.flags;
    element_set_flags(&chain.root, 1, ELEMENT_HIDDEN);
    EXPECT_EQ(chain.middle.flags, before | ELEMENT_HIDDEN);
    element_clear_flags(&chain.root, 1, ELEMENT_HIDDEN);
    EXPECT_EQ(chain.middle.flags, before);
    EXPECT_EQ(chain.root.flags, ELEMENT_FLAGS_AT_LOAD);
}

TEST(ElementFlags, MissingElementChangesNothing) {
    Chain chain;
    element_set_flags(&chain.root, 200, ELEMENT_HIDDEN);
    element_clear_flags(&chain.root, 200, ELEMENT_FLAGS_AT_LOAD);
    element_set_flags(nullptr, 0, ELEMENT_HIDDEN);
    for (ElementHeader* element : {&chain.root, &chain.middle, &chain.last}) {
        EXPECT_EQ(element->flags, ELEMENT_FLAGS_AT_LOAD);
    }
}

}  // namespace
