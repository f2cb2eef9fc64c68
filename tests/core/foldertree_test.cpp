// The picker's tree of folder names over given paths.
#include <gtest/gtest.h>

#include <algorithm>

#include "foldertree.h"

// The tree as text: "name(children) sibling ...".
static std::u16string Shape(const FolderNode* node)
{
    std::u16string text;
    for (; node != nullptr; node = node->nextSibling) {
        text += node->name;
        if (node->firstChild != nullptr)
            text += u"(" + Shape(node->firstChild) + u")";
        if (node->nextSibling != nullptr)
            text += u" ";
    }
    return text;
}

static std::u16string TreeOf(std::initializer_list<const char16_t*> paths)
{
    FolderNode* tree = nullptr;
    for (const char16_t* path : paths)
        tree = AddFolderPath(tree, path);
    std::u16string shape = Shape(tree);
    FreeFolderTree(tree);
    return shape;
}

TEST(FolderTree, FoldersAndTheirAncestorsInTheirOrder)
{
    // Every level below the top sorted without case, as Windows compares
    // names, letters folded to lower case; the top keeps the order met; each
    // name once.
    EXPECT_EQ(u"D(Alpha(x) beta)", TreeOf({ u"\\D\\beta", u"\\D\\Alpha", u"\\D\\ALPHA\\x" }));
    EXPECT_EQ(u"D(_Archive Albums)", TreeOf({ u"\\D\\Albums", u"\\D\\_Archive" }));
    EXPECT_EQ(u"D(Rock)", TreeOf({ u"\\D\\Rock", u"\\D\\Rock", u"\\d\\rock" }));
}

TEST(FolderTree, ElementsTooLongForANodeAreSkipped)
{
    std::u16string path = u"\\D\\" + std::u16string(FOLDER_NAME_UNITS, u'x') + u"\\E";
    EXPECT_EQ(u"D", TreeOf({ path.c_str() }));
    // A path too long for the picker adds the folders above it that fit:
    // "D(sub(sub(...)))".
    std::u16string deep = u"\\D";
    while (deep.size() < FOLDER_NAME_UNITS + 20)
        deep += u"\\sub";
    std::u16string shape = TreeOf({ deep.c_str() });
    EXPECT_EQ((FOLDER_NAME_UNITS - 3) / 4, static_cast<size_t>(std::count(shape.begin(), shape.end(), u'(')));
}
