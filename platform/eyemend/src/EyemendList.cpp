// Region lists: doubly linked through the regions themselves.
#include "eyemend/Eyemend.h"

ReRegion* ReListNext(const ReList* list, const ReRegion* current)
{
    if (list == nullptr)
        return nullptr;
    return current == nullptr ? list->head : current->next;
}

ReRegion* ReListPrev(const ReList* list, const ReRegion* current)
{
    if (list == nullptr)
        return nullptr;
    return current == nullptr ? list->tail : current->prev;
}

ReStatus ReListInsert(ReList* list, ReRegion* region)
{
    if (list == nullptr || region == nullptr)
        return ReMissingArgument;
    // A region already linked, or the list's own head, would break the list.
    if (region->next != nullptr || region->prev != nullptr || region == list->head)
        return ReInvalidParameter;
    region->prev = list->tail;
    if (list->tail != nullptr)
        list->tail->next = region;
    else
        list->head = region;
    list->tail = region;
    return ReOk;
}

ReStatus ReListMerge(ReList* destination, ReList* source)
{
    if (destination == nullptr || source == nullptr)
        return ReMissingArgument;
    if (destination == source || source->head == nullptr)
        return ReOk;
    source->head->prev = destination->tail;
    if (destination->tail != nullptr)
        destination->tail->next = source->head;
    else
        destination->head = source->head;
    destination->tail = source->tail;
    source->head = nullptr;
    source->tail = nullptr;
    return ReOk;
}

ReStatus ReListEmpty(ReList* list)
{
    if (list == nullptr)
        return ReMissingArgument;
    for (ReRegion* region = list->head; region != nullptr;) {
        ReRegion* next = region->next;
        delete region;
        region = next;
    }
    list->head = nullptr;
    list->tail = nullptr;
    return ReOk;
}
