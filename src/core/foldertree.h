// The tree of folder names that the sound-folder picker shows: built from
// device paths of the folders that hold sound files. Pure code over paths.
#ifndef WAKELOOM_FOLDERTREE_H
#define WAKELOOM_FOLDERTREE_H

#include "portable.h"

#define FOLDER_NAME_UNITS 260

struct FolderNode {
    WCHAR name[FOLDER_NAME_UNITS];   // one element of a path, no backslash
    FolderNode* firstChild;
    FolderNode* nextSibling;
};

// Adds the folder of `path` ("\A\B\C") and every folder above it; returns
// the tree (its first top-level node).
FolderNode* AddFolderPath(FolderNode* tree, const WCHAR* path);
// Adds one node for the last element of `path` under the node its other
// elements name. Top-level nodes keep the order they came in; every lower
// level is sorted without regard to case. An element too long for a node,
// or a parent that is not in the tree, adds nothing.
FolderNode* InsertTreePath(FolderNode* tree, const WCHAR* path);
// Releases a sibling list with everything below it.
void FreeFolderTree(FolderNode* first);
// Compares two names as the file system does, without regard to case.
int CompareFolderNames(const WCHAR* a, const WCHAR* b);

#endif
