#include "foldertree.h"

// Folded to lower case, as _wcsicmp folds: "_Archive" comes before "Albums".
static WCHAR Folded(WCHAR c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<WCHAR>(c - u'A' + u'a') : c;
}

int CompareFolderNames(const WCHAR* a, const WCHAR* b)
{
    while (*a != 0 && Folded(*a) == Folded(*b)) {
        a++;
        b++;
    }
    return static_cast<int>(Folded(*a)) - static_cast<int>(Folded(*b));
}

// The length of the element that starts at `p`.
static size_t ElementLength(const WCHAR* p)
{
    size_t n = 0;
    while (p[n] != 0 && p[n] != u'\\')
        n++;
    return n;
}

static bool SameElement(const WCHAR* name, const WCHAR* element, size_t length)
{
    WCHAR copy[FOLDER_NAME_UNITS];
    if (length >= FOLDER_NAME_UNITS)
        return false;
    for (size_t i = 0; i < length; i++)
        copy[i] = element[i];
    copy[length] = 0;
    return CompareFolderNames(name, copy) == 0;
}

static FolderNode* NewNode(const WCHAR* name, size_t length)
{
    if (length == 0 || length >= FOLDER_NAME_UNITS)
        return nullptr;
    FolderNode* node = new FolderNode();
    for (size_t i = 0; i < length; i++)
        node->name[i] = name[i];
    return node;
}

// The node among `first` and its siblings named by the element.
static FolderNode* FindSibling(FolderNode* first, const WCHAR* element, size_t length)
{
    for (FolderNode* n = first; n != nullptr; n = n->nextSibling) {
        if (SameElement(n->name, element, length))
            return n;
    }
    return nullptr;
}

FolderNode* InsertTreePath(FolderNode* tree, const WCHAR* path)
{
    size_t total = 0;
    while (path[total] != 0)
        total++;
    size_t last = total;
    while (last > 0 && path[last - 1] != u'\\')
        last--;
    const WCHAR* name = path + last;
    size_t nameLength = total - last;
    if (tree == nullptr)
        return NewNode(name, nameLength);

    // Follow the parent's elements from the top.
    FolderNode** level = &tree;
    FolderNode* parent = nullptr;
    for (size_t i = 0; i < last;) {
        if (path[i] == u'\\') {
            i++;
            continue;
        }
        size_t length = ElementLength(path + i);
        parent = FindSibling(*level, path + i, length);
        if (parent == nullptr)
            return tree;
        level = &parent->firstChild;
        i += length;
    }
    if (FindSibling(*level, name, nameLength) != nullptr)
        return tree;
    FolderNode* node = NewNode(name, nameLength);
    if (node == nullptr)
        return tree;
    FolderNode** link = level;
    if (parent == nullptr) {
        while (*link != nullptr)   // top level: in the order they came
            link = &(*link)->nextSibling;
    } else {
        while (*link != nullptr && CompareFolderNames((*link)->name, node->name) <= 0)
            link = &(*link)->nextSibling;
    }
    node->nextSibling = *link;
    *link = node;
    return tree;
}

FolderNode* AddFolderPath(FolderNode* tree, const WCHAR* path)
{
    // "\A\B\C" adds "\A", "\A\B" and "\A\B\C".
    WCHAR prefix[FOLDER_NAME_UNITS];
    size_t i = 0;
    for (;;) {
        if (i >= FOLDER_NAME_UNITS)
            return tree;   // too long for any node: skipped, never cut
        prefix[i] = path[i];
        bool end = path[i] == 0;
        if (end || (path[i] == u'\\' && i > 0)) {
            prefix[i] = 0;
            tree = InsertTreePath(tree, prefix);
            if (end)
                return tree;
            prefix[i] = u'\\';
        }
        i++;
    }
}

void FreeFolderTree(FolderNode* first)
{
    while (first != nullptr) {
        FolderNode* next = first->nextSibling;
        FreeFolderTree(first->firstChild);
        delete first;
        first = next;
    }
}
