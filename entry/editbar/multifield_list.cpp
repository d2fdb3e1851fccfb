// multifield_list.cpp - the '^' multi-field list: a field whose type code begins with '^' is
// edited together with the fields its value list names, one entry row per listed field.
//
// Value list grammar: groups between '[' and ']' (text without brackets is one group); items of
// a group separated by ','; an item is [letters ':'] sequence, where the letters (at most 4)
// give one letter to each lettered item of the group in turn (once an item carries letters the
// following items of its group are lettered too).
#include "entry/editbar/editbar_private.h"
#include "prepare/prepare.h"

#include <string.h>

#define LIST_MAX_LETTERS 4

char GetListItemLetter(const MultiFieldListItem *item)
{
    if (!item || !item->lettered)
        return 0;
    size_t count = strnlen(item->letters, sizeof(item->letters));
    return item->position < count ? item->letters[item->position] : 0;
}

// Appends text to the joined type codes; 0 when it does not fit (the list is then refused:
// a cut code would give the bar parts that belong to no field).
static int AppendListType(char *listTypes, int listTypesSize, const char *typeCode)
{
    size_t used = strlen(listTypes);
    size_t add = strlen(typeCode);
    if (used + add + 1 > (size_t)listTypesSize)
        return 0;
    memcpy(listTypes + used, typeCode, add + 1);
    return 1;
}

int ParseMultiFieldListText(const char *valueList, const FieldTable *table, MultiFieldListItem **itemsOut,
                            char *listTypes, int listTypesSize)
{
    if (itemsOut)
        *itemsOut = NULL;
    if (!itemsOut || !listTypes || listTypesSize <= 0 || !valueList || !*valueList || !table)
        return 0;
    listTypes[0] = 0;

    // Every item follows a ',', '[' or ']' or starts the text, so this bounds the item count
    // whatever the grouping.
    int capacity = 1 + CountChar(valueList, ',') + CountChar(valueList, '[') + CountChar(valueList, ']');
    size_t length = strlen(valueList);
    char *copy = (char *)MemAlloc(64, length + 1);
    MultiFieldListItem *items = (MultiFieldListItem *)MemAlloc(64, sizeof(MultiFieldListItem) * capacity);
    if (!copy || !items) {
        MemFree(copy);
        MemFree(items);
        return 0;
    }
    memcpy(copy, valueList, length + 1);

    int count = 0;
    int refused = 0;
    char *groupPos = NULL;
    char *group = TokenizeString(copy, "[]", &groupPos, 1);
    for (int groupIndex = 0; group && !refused; groupIndex++) {
        char letters[8] = "";
        int lettered = 0;
        int nextPosition = 0;
        char *itemPos = NULL;
        for (char *item = TokenizeString(group, ",[]", &itemPos, 1); item;
             item = itemPos ? TokenizeString(NULL, ",[]", &itemPos, 1) : NULL) {
            char *sequence = item;
            char *colon = strchr(item, ':');
            if (colon) {
                *colon = 0;
                if (strlen(item) > LIST_MAX_LETTERS) {
                    refused = 1;
                    break;
                }
                strcpy(letters, item);
                sequence = colon + 1;
                lettered = 1;
            }
            TrimSpaces(sequence);
            int position = lettered ? nextPosition++ : 0;
            int index = *sequence ? FindLayoutField(table, 1, sequence, 0) : 0;
            if (index <= 0 || index >= table->count)
                continue;   // not on the page: no entry row for it
            FieldRecord *field = &table->fields[index];
            if (!AppendListType(listTypes, listTypesSize, field->typeCode ? field->typeCode : "")) {
                refused = 1;
                break;
            }
            MultiFieldListItem *entry = &items[count++];
            entry->field = field;
            entry->lettered = lettered;
            entry->group = groupIndex;
            entry->position = position;
            memcpy(entry->letters, letters, sizeof(entry->letters));
        }
        group = groupPos ? TokenizeString(NULL, "[]", &groupPos, 1) : NULL;
    }
    MemFree(copy);
    if (refused || count == 0) {
        MemFree(items);
        listTypes[0] = 0;
        return 0;
    }
    *itemsOut = items;
    return count;
}

int ParseMultiFieldList(EditRequest *request)
{
    if (!request || !request->field)
        return 0;
    request->listItems = (MultiFieldListItem *)MemFree(request->listItems);
    request->listItemCount = 0;
    request->listTypes[0] = 0;
    const FieldTable *table = request->fieldTable;
    if (!table && request->page)
        table = request->page->fieldTable;
    MultiFieldListItem *items = NULL;
    int count = ParseMultiFieldListText(request->field->valueList, table, &items, request->listTypes,
                                        sizeof(request->listTypes));
    request->listItems = items;
    request->listItemCount = count;
    return count;
}
