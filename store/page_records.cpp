// page_records.cpp - freeing page records and the sizes of the return record's text members.
#include "store/store.h"

#include <string.h>

void FreePageButtons(FormInstance *page)
{
    if (page->buttons) {
        for (int i = 0; i < page->buttonCount; i++) {
            if (page->buttons[i].window && IsWindow(page->buttons[i].window))
                DestroyWindow(page->buttons[i].window);
            if (page->buttons[i].bitmap)
                DeleteObject(page->buttons[i].bitmap);
        }
        page->buttons = (FieldButtonSlot *)MemFree(page->buttons);
    }
    page->buttonCount = 0;
}

FormInstance *FreeFormInstance(FormInstance *page)
{
    if (!page)
        return NULL;
    MemFree(page->pageKey);
    MemFree(page->displayName);
    MemFree(page->blob);
    if (page->pageBitmap)
        DeleteObject(page->pageBitmap);
    if (page->thumbBitmap)
        DeleteObject(page->thumbBitmap);
    FreePageButtons(page);
    if (page->tooltip && IsWindow(page->tooltip))
        DestroyWindow(page->tooltip);
    FreeLayoutTable(page->fieldTable);
    if (page->ownsFormPakPath)
        MemFree(page->formPakPath);
    MemFree(page);
    return NULL;
}

// Text members of the return record and their sizes.
struct ReturnMember {
    int offset;
    int size;
};
static const ReturnMember kPersonMembers[] = {
    {PERSON_SSN, 12}, {PERSON_FIRST_NAME, 21}, {PERSON_MIDDLE_NAME, 21}, {PERSON_LAST_NAME, 21},
    {PERSON_SUFFIX, 4}, {PERSON_TITLE, 5}, {PERSON_BIRTH_DATE, 11}, {PERSON_DEATH_DATE, 11},
    {PERSON_AGI, 13}, {PERSON_PRIOR_AGI, 13}, {PERSON_IP_PIN, 13}, {PERSON_PRIOR_PIN, 13},
    {PERSON_SELF_PIN, 12}, {PERSON_SIGN_DATE, 11}, {PERSON_PHONE, 15}, {PERSON_OCCUPATION, 40},
    {PERSON_EMAIL, 50},
};
static const ReturnMember kReturnMembers[] = {
    {RETURN_NAME_LINE, 50}, {RETURN_IN_CARE_OF, 36}, {RETURN_STREET, 36}, {RETURN_CITY, 36},
    {RETURN_STATE, 3}, {RETURN_ZIP, 11}, {RETURN_PROVINCE, 17}, {RETURN_COUNTRY, 36},
    {RETURN_POSTAL_CODE, 18}, {RETURN_PHONE, 13}, {RETURN_APARTMENT, 21},
    {RETURN_FOREIGN_APARTMENT, 21}, {RETURN_CONTACT_NAME, 36}, {RETURN_FILING_STATUS, 2},
    {RETURN_DEPENDENT_FLAG, 2}, {RETURN_EIN, 12}, {RETURN_EMAIL, 64},
    {RETURN_BUSINESS_NAME, 72}, {RETURN_IDENTITY, 40}, {RETURN_TRADE_NAME, 72},
    {RETURN_SIGNER_NAME, 40}, {RETURN_SIGNER_TITLE, 40}, {RETURN_BUSINESS_PHONE, 16},
};

int GetReturnMemberSize(int offset)
{
    for (size_t i = 0; i < sizeof kReturnMembers / sizeof kReturnMembers[0]; i++)
        if (kReturnMembers[i].offset == offset)
            return kReturnMembers[i].size;
    int blocks[2] = {RETURN_TAXPAYER, RETURN_SPOUSE};
    for (int b = 0; b < 2; b++)
        for (size_t i = 0; i < sizeof kPersonMembers / sizeof kPersonMembers[0]; i++)
            if (blocks[b] + kPersonMembers[i].offset == offset)
                return kPersonMembers[i].size;
    int parts[3] = {RETURN_PART_FEDERAL, RETURN_PART_STATE, RETURN_PART_OTHER};
    for (int p = 0; p < 3; p++) {
        if (offset == parts[p] + PART_CODE)
            return 6;
        if (offset == parts[p] + PART_MESSAGE)
            return 218;
    }
    return 0;
}
