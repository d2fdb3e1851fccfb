// field_values.cpp - storing field values: texts, single characters and binary blocks in the
// text slots of a FieldRecord.
#include "store/store.h"

#include <stdlib.h>
#include <string.h>

static void MarkReturnModified(void)
{
    if (!gReturnLoading)
        gReturnModified = 1;
}

// Length of the block held in a slot: a "qvbb" block states its own length. Only SetFieldBlob
// and the file reader store such blocks, and both check the stated length; SetFieldText never
// stores a text that begins with "qvbb".
static uint32_t GetSlotLength(const char *slot)
{
    if (!slot)
        return 0;
    if (strncmp(slot, "qvbb", 4) == 0) {
        uint32_t bits;
        memcpy(&bits, slot + 28, 4);
        return 32 + bits;
    }
    return (uint32_t)strlen(slot);
}

// Puts a zero-ended copy of length bytes of data into *slot (no data: empties it) and marks the
// return changed. 1 when the slot changed; 0 when it was already empty or memory ran out.
static int ReplaceSlot(char **slot, const void *data, size_t length)
{
    char *copy = NULL;
    if (data) {
        copy = (char *)MemAlloc(64, length + 1);
        if (!copy)
            return 0;
        memcpy(copy, data, length);
    } else if (!*slot) {
        return 0;
    }
    MemFree(*slot);
    *slot = copy;
    MarkReturnModified();
    return 1;
}

int SetFieldText(char **slot, const char *text)
{
    if (!slot)
        return 0;
    if (!text || !*text)
        return ReplaceSlot(slot, NULL, 0);
    if (strncmp(text, "qvbb", 4) == 0)
        return 0;   // reserved for signature blocks: refused
    if (*slot && strncmp(*slot, "qvbb", 4) != 0 && strcmp(*slot, text) == 0)
        return 0;
    return ReplaceSlot(slot, text, strlen(text));
}

int SetFieldChar(char **slot, const char *text, int position)
{
    char one[2] = {0, 0};
    if (text && position >= 0 && (size_t)position < strlen(text))
        one[0] = text[position];
    return SetFieldText(slot, one);
}

int SetFieldBlob(char **slot, const void *data, uint32_t length)
{
    if (!slot)
        return 0;
    if (!data || !length)
        return ReplaceSlot(slot, NULL, 0);
    if (length >= 4 && memcmp(data, "qvbb", 4) == 0) {
        if (!CheckFieldWordBytes(9, (const uint8_t *)data, length))
            return 0;   // a block whose stated length is wrong is refused
    } else if (memchr(data, 0, length)) {
        return 0;       // other blocks are texts: no zero bytes
    }
    if (*slot && GetSlotLength(*slot) == length && memcmp(*slot, data, length) == 0)
        return 0;
    return ReplaceSlot(slot, data, length);
}

uint32_t GetFieldSecondLength(const FieldRecord *field)
{
    return field ? GetSlotLength(field->second) : 0;
}

int GetFieldLength(const FieldRecord *field)
{
    return field && field->length ? atoi(field->length) : 0;
}
