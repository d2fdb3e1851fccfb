// formrecord.cpp - the soft-font records of the PCL interpreter, one per font id. Downloaded
// characters stay until the return is closed, so a font downloaded by one page serves the
// pages drawn after it.
#include "store/store.h"

#include <string.h>

static FormRecord **gFormRecords;   // gFormRecordCount records
static int gFormRecordCapacity;

FormRecord *GetFormRecord(int fontId)
{
    uint16_t id = (uint16_t)fontId;
    for (int i = 0; i < gFormRecordCount; i++) {
        if (gFormRecords[i]->id == id) {
            gCurrentFormRecord = gFormRecords[i];
            return gCurrentFormRecord;
        }
    }
    if (gFormRecordCount == gFormRecordCapacity) {
        int capacity = gFormRecordCapacity ? gFormRecordCapacity * 2 : 8;
        FormRecord **grown = (FormRecord **)MemAlloc(64, capacity * sizeof(FormRecord *));
        if (!grown)
            return NULL;
        if (gFormRecords)
            memcpy(grown, gFormRecords, gFormRecordCount * sizeof(FormRecord *));
        MemFree(gFormRecords);
        gFormRecords = grown;
        gFormRecordCapacity = capacity;
    }
    FormRecord *record = (FormRecord *)MemAlloc(64, sizeof(FormRecord));
    if (!record)
        return NULL;
    record->id = id;
    gFormRecords[gFormRecordCount++] = record;
    gCurrentFormRecord = record;
    return record;
}

int FreeFormRecords(void)
{
    int count = gFormRecordCount;
    for (int i = 0; i < gFormRecordCount; i++) {
        FormRecord *record = gFormRecords[i];
        for (int c = 0; c < 255; c++)
            MemFree(record->chars[c].rows);
        MemFree(record);
    }
    gFormRecords = (FormRecord **)MemFree(gFormRecords);
    gFormRecordCapacity = 0;
    gFormRecordCount = 0;
    gCurrentFormRecord = NULL;
    return count;
}
