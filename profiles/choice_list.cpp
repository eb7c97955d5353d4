// Lookup in the packed choice lists of the profile catalogue.
#include "choice_list.h"

const char* choiceListEntry(ChoiceList list, int index) {
    if (list == nullptr || *list == '\0' || index < 0) {
        return nullptr;
    }
    if (index == 0) {
        return list;
    }
    const char* entry = list;
    for (int step = 0; step < index; ++step) {
        while (*entry != '\0') {
            ++entry;
        }
        ++entry; // the character after the terminating NUL
        if (*entry != ' ') {
            return nullptr; // the list has ended
        }
    }
    if (*entry == ' ') {
        return entry + 1;
    }
    return nullptr;
}

int choiceListCount(ChoiceList list) {
    int count = 0;
    while (choiceListEntry(list, count) != nullptr) {
        ++count;
    }
    return count;
}
