// return_upgrade.cpp - bringing a return record read from a file into the current layout.
#include "shell/shell.h"
#include "store/store.h"
#include "entry/entry.h"   // ImportTaxpayerData converts the older layouts

#include <string.h>

int UpgradeReturnRecord(OpenReturn *record, const uint8_t *stored, uint32_t length)
{
    if (!record || !stored || length < 4)
        return 0;
    uint32_t size;
    memcpy(&size, stored, 4);
    if (size != length)
        return 0;
    if (size == OPEN_RETURN_SIZE) {
        memcpy(record->bytes, stored, OPEN_RETURN_SIZE);
        return 1;
    }
    if (size != OPEN_RETURN_SIZE_2656 && size != OPEN_RETURN_SIZE_2560)
        return 0;
    InitOpenReturn(record);
    return ImportTaxpayerData(record, stored, PROGRAM_TAX_YEAR, 1);
}
