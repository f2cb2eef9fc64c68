#include "medialist.h"

void FreeMediaList(MediaNode* list)
{
    while (list != nullptr) {
        MediaNode* next = list->next;
        LocalFree(list);
        list = next;
    }
}
