// describe_return.cpp - describing a part of the open return (its main form, refund or balance
// due), explaining its last e-file status, and the end of the e-filing season.
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

// The part's main-form page: the page of treeItem when given, else the first page of the
// return whose main-form row belongs to the part. *rowOut = the row.
static FormInstance *FindPartMainPage(char partLetter, HTREEITEM treeItem, int *rowOut)
{
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    FormInstance *found = NULL;
    for (int i = 0; i < count && !found; i++) {
        FormInstance *page = pages[i];
        if (!page || page->kind != PAGE_KIND_FORM || (treeItem && page->treeItem != treeItem))
            continue;
        int row = FindMainFormPage(page->pageKey, page->jurisdiction, 0, 0);
        char part = 0;
        if (row && GetMainFormRow(row, NULL, &part) && part == partLetter) {
            found = page;
            *rowOut = row;
        }
    }
    MemFree(pages);
    return found;
}

// The value of field seq on the first page keyed pageKey, as a number (0 when absent or empty).
// *presentOut (may be null) = 1 when the field holds a text.
static double ReadPageAmount(const char *pageKey, const char *seq, int *presentOut)
{
    if (presentOut)
        *presentOut = 0;
    if (!pageKey || !seq)
        return 0.0;
    FormInstance *page = NULL;
    if (FindReturnPages(12, pageKey, &page, 0) != 1 || !page || !page->fieldTable)
        return 0.0;
    int index = FindLayoutField(page->fieldTable, 1, seq, 0);
    if (index <= 0 || index >= page->fieldTable->count)
        return 0.0;
    const char *value = page->fieldTable->fields[index].value;
    if (!value || !value[0])
        return 0.0;
    if (presentOut)
        *presentOut = 1;
    return TextToDouble(value);
}

static void FormatAmount(double amount, char *out, int outSize)
{
    char number[32];
    if (!FormatNumber(number, sizeof number, amount, 0, FORMAT_NUMBER_COMMAS))
        lstrcpynA(number, "0", sizeof number);
    snprintf(out, (size_t)outSize, "$%s", number);
}

// Describes the main-form page of table row row into description.
static void DescribeMainPage(const FormInstance *page, int row, ReturnDescription *description)
{
    const MainFormRow *info = GetMainFormRowInfo(row);
    memset(description, 0, sizeof *description);
    if (!info)
        return;
    description->jurisdiction = (uint8_t)(info->jurisdiction ? info->jurisdiction : page->jurisdiction);
    lstrcpynA(description->shortText, info->shortText, sizeof description->shortText);
    lstrcpynA(description->longText, info->longText, sizeof description->longText);

    // The second line: the refund when the return overpays, else the balance due.
    const char *amountPage = info->amountPageKey ? info->amountPageKey : info->pageKey;
    double refund = ReadPageAmount(amountPage, info->refundSeq, NULL);
    double balance = ReadPageAmount(amountPage, info->balanceSeq, NULL);
    if (refund >= 0.5) {
        int deposit = 0;
        ReadPageAmount(amountPage, info->depositSeq, &deposit);
        description->kindLetter = deposit ? RETURN_KIND_DEPOSIT : RETURN_KIND_MAIL;
        lstrcpynA(description->secondLabel, "Refund", sizeof description->secondLabel);
        FormatAmount(refund, description->secondValue, sizeof description->secondValue);
    } else if (balance >= 0.5) {
        description->kindLetter = RETURN_KIND_BALANCE;
        lstrcpynA(description->secondLabel, "Balance Due", sizeof description->secondLabel);
        FormatAmount(balance, description->secondValue, sizeof description->secondValue);
    }
}

int DescribeReturn(char partLetter, ReturnDescription *description, HTREEITEM treeItem, void *folderIconSlot,
                   int reserved, int flag)
{
    (void)folderIconSlot;
    (void)reserved;
    (void)flag;
    if (description)
        memset(description, 0, sizeof *description);
    int row = 0;
    FormInstance *page = FindPartMainPage(partLetter, treeItem, &row);
    if (!page || !GetMainFormRowInfo(row))
        return 0;
    if (description)
        DescribeMainPage(page, row, description);
    return 1;
}

int DescribeReturnForms(char partLetter, ReturnDescription *descriptions, int most)
{
    int count = 0, found = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    for (int i = 0; i < count; i++) {
        FormInstance *page = pages[i];
        char part = 0;
        int row = page && page->kind == PAGE_KIND_FORM ? FindMainFormPage(page->pageKey, page->jurisdiction, 0, 0) : 0;
        if (!row || !GetMainFormRow(row, NULL, &part) || part != partLetter)
            continue;
        if (found < most && descriptions)
            DescribeMainPage(page, row, &descriptions[found]);
        found++;
    }
    MemFree(pages);
    return found;
}

// Reasons of a rejected part, by its reject letter.
struct RejectReason {
    char letter;
    const char *text;
};
static const RejectReason kRejectReasons[] = {
    {'C', "Credit card was declined."},
    {'P', "The payment of the e-file service fee could not be verified."},
    {'D', "A return with the same taxpayer identification number has already been filed."},
    {'E', "The Levyline Processing Center found errors in %your/your client's% return."},
    {'I', "The taxing authority found errors in %your/your client's% return."},
};

int DescribeReturnStatus(const uint8_t *partStatus, char *out, int outSize, const OpenReturn *returnRecord,
                         const char *name, int flag, int isOpenReturn)
{
    (void)returnRecord;
    (void)flag;
    (void)isOpenReturn;
    if (!partStatus || !out || outSize <= 0)
        return 0;
    const uint8_t *block = partStatus - PART_SENT_TIME;
    char letter = (char)block[PART_STATUS_LETTER];
    char reject = (char)block[PART_REJECT_LETTER];
    // The stored message may fill its member without a terminator.
    char message[PART_BLOCK_SIZE - PART_MESSAGE + 1];
    size_t length = strnlen((const char *)block + PART_MESSAGE, PART_BLOCK_SIZE - PART_MESSAGE);
    memcpy(message, block + PART_MESSAGE, length);
    message[length] = 0;
    TrimSpaces(message);
    const char *part = name && name[0] ? name : "This return";

    switch (letter) {
    case 'P':
        snprintf(out, (size_t)outSize,
                 "%s has been received by the Levyline Processing Center and is waiting to be accepted.", part);
        return 1;
    case 'A':
        snprintf(out, (size_t)outSize, "%s has been accepted.  No further action is needed.", part);
        return 1;
    case 'R': {
        const char *reason = NULL;
        for (size_t i = 0; i < sizeof kRejectReasons / sizeof kRejectReasons[0]; i++)
            if (kRejectReasons[i].letter == reject)
                reason = kRejectReasons[i].text;
        char code[32] = "";
        if (reject > ' ' && reject < 0x7F)
            snprintf(code, sizeof code, "Reject code %c: ", reject);
        const char *text = reason ? reason : (!message[0] ? "%Your/Your client's% return was rejected." : "");
        snprintf(out, (size_t)outSize, "%s%s%s%s", code, text, text[0] && message[0] ? "  " : "", message);
        return 1;
    }
    default:
        return 0;
    }
}

int IsEfileWindowOpen(const OpenReturn *returnRecord, int code, int reserved1, int reserved2, int reserved3)
{
    (void)reserved1;
    (void)reserved2;
    (void)reserved3;
    if (!returnRecord || code != 5)
        return 0;
    // The late stretch starts EFILE_LATE_DAYS - 1 days before the last day, at midnight UTC.
    SYSTEMTIME end = {};
    end.wYear = EFILE_SEASON_END_YEAR;
    end.wMonth = EFILE_SEASON_END_MONTH;
    end.wDay = EFILE_SEASON_END_DAY;
    FILETIME endFile;
    SystemTimeToFileTime(&end, &endFile);
    ULARGE_INTEGER lateStart;
    lateStart.LowPart = endFile.dwLowDateTime;
    lateStart.HighPart = endFile.dwHighDateTime;
    lateStart.QuadPart -= (ULONGLONG)(EFILE_LATE_DAYS - 1) * 24 * 3600 * 10000000ULL;
    static const int kParts[3] = {RETURN_PART_FEDERAL, RETURN_PART_STATE, RETURN_PART_OTHER};
    for (int i = 0; i < 3; i++) {
        const uint8_t *block = returnRecord->bytes + kParts[i];
        if (block[PART_STATUS_LETTER] != 'P')
            continue;
        SYSTEMTIME sent;
        memcpy(&sent, block + PART_SENT_TIME, sizeof sent);
        FILETIME sentFile;
        if (!sent.wYear || !SystemTimeToFileTime(&sent, &sentFile))
            continue;
        ULARGE_INTEGER when;
        when.LowPart = sentFile.dwLowDateTime;
        when.HighPart = sentFile.dwHighDateTime;
        if (when.QuadPart >= lateStart.QuadPart)
            return 1;
    }
    return 0;
}
