// The device's storage cards, each a folder in the root of its one file
// system ("\Storage Card E"). On the desktop a card is each drive of
// removable media or, under Wine, each drive mounted from media.
#ifndef WAKELOOM_STORAGECARDS_H
#define WAKELOOM_STORAGECARDS_H

#include <windows.h>

// The folder name of the card on drive `letter`.
#define STORAGE_CARD_PREFIX L"Storage Card "

// The first card, with its folder name in cFileName; INVALID_HANDLE_VALUE
// when there is none. The search is ended with FindClose.
HANDLE FindFirstFlashCard(WIN32_FIND_DATAW* found);
// The next card; FALSE when there is no other.
BOOL FindNextFlashCard(HANDLE search, WIN32_FIND_DATAW* found);
// Whether drive `letter` holds such a medium.
bool IsStorageCardDrive(wchar_t letter);

#endif
