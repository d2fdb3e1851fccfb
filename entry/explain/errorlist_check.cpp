// "Check Return": the checks whose errors block e-filing (every stored value against its field
// type, a number in boxes filling them, a routing number's check digit and first two digits, an
// identity protection PIN, a main form, the filer's name and identification number, the spouse's
// number on a joint return; an individual return's own checks are in errorlist_efile.cpp), the
// error file "RtnErrors.txt" and the error chain shown by the error list.
#include "entry/explain/explain_private.h"
#include "calc/calc.h"
#include "canvas/canvas.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

int AddErrorEntry(ErrorEntry **first, const char *location, const char *currentValue, const char *message)
{
    if (!first)
        return 0;
    ErrorEntry *entry = (ErrorEntry *)MemAlloc(64, sizeof(ErrorEntry));
    if (!entry)
        return 0;
    entry->location = DuplicateText(location ? location : "");
    entry->currentValue = DuplicateText(currentValue ? currentValue : "");
    entry->message = DuplicateText(message ? message : "");
    ErrorEntry **end = first;
    while (*end)
        end = &(*end)->next;
    *end = entry;
    return 1;
}

ErrorEntry *FreeErrorEntries(ErrorEntry *first)
{
    while (first) {
        ErrorEntry *next = first->next;
        MemFree(first->location);
        MemFree(first->currentValue);
        MemFree(first->message);
        MemFree(first);
        first = next;
    }
    return NULL;
}

void CopyReturnMember(OpenReturn *record, int offset, int size, char *out, int outSize)
{
    int n = size < outSize - 1 ? size : outSize - 1;
    memcpy(out, ReturnText(record, offset), (size_t)n);
    out[n] = 0;
    TrimSpaces(out);
}

// An identification number kept as its nine digits, shown as it is entered: "000-12-3456" for an
// SSN, "12-3456789" for an EIN; any other text as it is.
static void FormatEnteredNumber(char *text, int size, int ein)
{
    size_t length = strlen(text);
    if (length != 9 || strspn(text, "0123456789") != 9 || size < 12)
        return;
    char digits[10];
    memcpy(digits, text, sizeof(digits));
    if (ein)
        snprintf(text, (size_t)size, "%.2s-%.7s", digits, digits + 2);
    else
        snprintf(text, (size_t)size, "%.3s-%.2s-%.4s", digits, digits + 3, digits + 5);
}

// A person's SSN (block RETURN_TAXPAYER or RETURN_SPOUSE): required and valid.
static int CheckPersonSsn(OpenReturn *record, int block, ErrorEntry **first)
{
    char text[80];
    CopyReturnMember(record, block + PERSON_SSN, 12, text, sizeof(text));
    int ssn = ValidateSsn(0, text, NULL, 0);
    FormatEnteredNumber(text, sizeof(text), 0);
    if (ssn == SSN_VALID)
        return 0;
    int spouse = block == RETURN_SPOUSE;
    const char *who = spouse ? "spouse's" : "taxpayer's";
    char message[200];
    if (ssn == SSN_EMPTY)
        snprintf(message, sizeof(message), "The %s social security number is required%s.", who,
                 spouse ? " on a joint return" : "");
    else if (ssn == SSN_NOT_ISSUED)
        snprintf(message, sizeof(message), "The %s social security number is never issued: it begins with 000, 666 "
                 "or 9 (other than an ITIN), or its middle or last part is 00 or 0000.", who);
    else
        snprintf(message, sizeof(message), "The %s social security number is not valid.", who);
    return AddErrorEntry(first, spouse ? "Spouse Information - Social Security Number"
                                       : "Taxpayer Information - Social Security Number",
                         text[0] ? text : "(blank)", message);
}

// The filer: a business's name and EIN, or the taxpayer's name and SSN (and the spouse's SSN on
// a joint return: status 2).
static int CheckFilerIdentity(OpenReturn *record, int status, ErrorEntry **first)
{
    int errors = 0;
    char text[80];
    if (GetBusinessReturnType(NULL)) {
        // A business's name is the return's name line: what the preparer types in the name field
        // of the main form's pages (taxpayer item T[0]).
        CopyReturnMember(record, RETURN_NAME_LINE, 50, text, sizeof(text));
        if (!text[0])
            errors += AddErrorEntry(first, "Business Information - Business Name", "(blank)",
                                    "The business name is required.");
        CopyReturnMember(record, RETURN_EIN, 12, text, sizeof(text));
        char digits[16];
        lstrcpynA(digits, text, sizeof(digits));
        RemoveChars(digits, "- ");
        FormatEnteredNumber(text, sizeof(text), 1);
        if (strlen(digits) != 9 || strspn(digits, "0123456789") != 9)
            errors += AddErrorEntry(first, "Business Information - Employer Identification Number",
                                    text[0] ? text : "(blank)",
                                    "A valid employer identification number (9 digits) is required.");
        return errors;
    }
    char firstName[32], lastName[32];
    CopyReturnMember(record, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, firstName, sizeof(firstName));
    CopyReturnMember(record, RETURN_TAXPAYER + PERSON_LAST_NAME, 21, lastName, sizeof(lastName));
    if (!firstName[0])
        errors += AddErrorEntry(first, "Taxpayer Information - First Name", "(blank)",
                                "The taxpayer's first name is required.");
    if (!lastName[0])
        errors += AddErrorEntry(first, "Taxpayer Information - Last Name", "(blank)",
                                "The taxpayer's last name is required.");
    errors += CheckPersonSsn(record, RETURN_TAXPAYER, first);
    if (status == 2)   // married filing jointly
        errors += CheckPersonSsn(record, RETURN_SPOUSE, first);
    return errors;
}

// 1 when field is the routing number of a main form's direct deposit.
static int IsRoutingNumberField(const FormInstance *page, const FieldRecord *field)
{
    if (!page->pageKey || !field->seq)
        return 0;
    const MainFormRow *row;
    for (int i = 1; (row = GetMainFormRowInfo(i)) != NULL; i++)
        if (row->depositSeq && row->amountPageKey && !_stricmp(row->amountPageKey, page->pageKey) &&
            !strcmp(row->depositSeq, field->seq))
            return 1;
    return 0;
}

// 1 when the first two digits of a routing number are those of a bank that takes a refund's
// deposit: 01 to 12 or 21 to 32.
static int IsRefundRoutingPrefix(const char *text)
{
    char digits[3] = "";
    int n = 0;
    for (const char *p = text; *p && n < 2; p++)
        if (*p >= '0' && *p <= '9')
            digits[n++] = *p;
    int prefix = n == 2 ? (digits[0] - '0') * 10 + (digits[1] - '0') : 0;
    return (prefix >= 1 && prefix <= 12) || (prefix >= 21 && prefix <= 32);
}

// What a number that passed its type's check must still be: in boxes that fix its length (a
// routing number, a PIN, an SSN), one digit in every box; a routing number, with its check
// digit right and the first two digits of a bank that takes a refund; an identity protection
// PIN, six digits and not all zeros. messageOut (messageSize bytes) receives why not; returns 1
// when it is right.
static int CheckNumberShape(const FormInstance *page, FieldRecord *field, int kind, char *messageOut,
                            int messageSize)
{
    int boxes = GetCombBoxCount(field);
    int digitKind = kind == ENTRY_KIND_NUMBER || kind == ENTRY_KIND_COUNT || kind == ENTRY_KIND_SSN ||
                    kind == ENTRY_KIND_PIN || kind == ENTRY_KIND_DIGITS || kind == ENTRY_KIND_EIN;
    int digits = 0;
    for (const char *p = field->value; *p; p++)
        digits += *p >= '0' && *p <= '9';
    if (boxes && digitKind && digits != boxes) {
        snprintf(messageOut, (size_t)messageSize, "The number takes %d digits, one in each box; %d %s entered.",
                 boxes, digits, digits == 1 ? "is" : "are");
        return 0;
    }
    if (IsRoutingNumberField(page, field)) {
        if (!IsRoutingNumberValid(field->value)) {
            lstrcpynA(messageOut, "The routing number is not valid: its check digit does not match.",
                      messageSize);
            return 0;
        }
        if (!IsRefundRoutingPrefix(field->value)) {
            lstrcpynA(messageOut, "The routing number cannot take a refund's deposit: its first two digits must be "
                                  "01 to 12 or 21 to 32.", messageSize);
            return 0;
        }
    }
    if (IsIdentityPinField(page, field)) {
        if (digits != 6 || strlen(field->value) != 6) {
            lstrcpynA(messageOut, "An identity protection PIN has 6 digits.", messageSize);
            return 0;
        }
        if (!strcmp(field->value, "000000")) {
            lstrcpynA(messageOut, "An identity protection PIN cannot be 000000.", messageSize);
            return 0;
        }
    }
    return 1;
}

void FormatFieldPlace(const FormInstance *page, const FieldRecord *field, const char *description, char *out,
                      int outSize)
{
    char display[FORM_NAME_SIZE] = "";
    FormatFormDisplayName(NULL, NULL, page ? page->pageKey : NULL, display, 0);
    if (!description)
        description = field && field->description ? field->description : "";
    if (field && field->line && field->line[0])
        snprintf(out, (size_t)outSize, "%s, Line %s - %s", display, field->line, description);
    else
        snprintf(out, (size_t)outSize, "%s - %s", display, description);
}

// One stored value checked against its field's type (single-part types the user enters).
static int CheckStoredValue(const FormInstance *page, FieldRecord *field, ErrorEntry **first)
{
    if (!field->value || !field->value[0] || !field->typeCode || !field->typeCode[0])
        return 0;
    FieldFormat format;
    memset(&format, 0, sizeof(format));
    if (ParseFieldFormat(field->typeCode, &format, 1) != 1 || format.prefix)
        return 0;
    FieldFormatPart *part = &format.parts[0];
    if (part->letter == 'T' || part->letter == 'S' || part->letter == 'L' || part->letter == 'B' ||
        part->calculated)
        return 0;   // taxpayer items come from the return record; the others hold no typed value
    int kind = 0, subkind = 0, control = 0;
    if (!GetFieldEntryKind(field, part, &kind, &subkind, NULL, &control, 0) || kind == ENTRY_KIND_CHECK)
        return 0;
    char letter = GetPartEntryLetter(field, part, NULL);
    char text[300];
    lstrcpynA(text, field->value, sizeof(text));
    char message[VALIDATE_MESSAGE_SIZE] = "";
    char location[300];
    FormatFieldPlace(page, field, NULL, location, sizeof(location));
    const char *description = field->description ? field->description : "";
    if (ValidateFieldData(text, message, description, kind, subkind, NULL, sizeof(text), field->valueList, part,
                          letter, part->bracket, NULL, GetFieldLength(field), 0) &&
        CheckNumberShape(page, field, kind, message, sizeof(message)))
        return 0;
    if (!message[0])
        lstrcpynA(message, "The value is not valid for this field.", sizeof(message));
    return AddErrorEntry(first, location, field->value, message);
}

int CollectReturnErrors(OpenReturn *returnRecord, ErrorEntry **first)
{
    if (!returnRecord || !first)
        return 0;
    int errors = 0;
    int mainForms = FindMainReturnForm(NULL, NULL, NULL);
    if (mainForms == 0)
        errors += AddErrorEntry(first, "Return", "(no main form)",
                                "The return holds no main form (such as Form 1040 or Form 941).");
    int individual = !GetBusinessReturnType(NULL), status = 0;
    if (individual)
        errors += CheckFilingStatus(returnRecord, first, &status);
    errors += CheckFilerIdentity(returnRecord, status, first);
    if (individual && mainForms)
        errors += CheckIndividualEfile(returnRecord, status, first);
    int count = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &count);
    for (int i = 0; i < count; i++) {
        FieldTable *table = pages[i]->fieldTable;
        for (int f = 1; table && table->fields && f < table->count; f++)
            errors += CheckStoredValue(pages[i], &table->fields[f], first);
    }
    MemFree(pages);
    return errors;
}

static int WriteText(HANDLE file, const char *text)
{
    DWORD written = 0;
    DWORD length = (DWORD)strlen(text);
    return WriteFile(file, text, length, &written, NULL) && written == length;
}

int WriteErrorFile(const char *path, OpenReturn *returnRecord, const ErrorEntry *first)
{
    if (!path || !path[0])
        return 0;
    HANDLE file = OpenFileWithRetry(path, GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    char name[51] = "";
    if (returnRecord)
        lstrcpynA(name, ReturnText(returnRecord, RETURN_NAME_LINE), sizeof(name));
    int ok = WriteText(file, "Pre-Send Error Report\r\n") && WriteText(file, name) && WriteText(file, "\r\n\r\n");
    int number = 1;
    for (const ErrorEntry *entry = first; ok && entry; entry = entry->next, number++) {
        char head[16];
        snprintf(head, sizeof(head), "%d. ", number);
        ok = WriteText(file, head) && WriteText(file, entry->location ? entry->location : "") &&
             WriteText(file, "\r\n   Current Value: ") && WriteText(file, entry->currentValue ? entry->currentValue : "") &&
             WriteText(file, "\r\n   Error: ") && WriteText(file, entry->message ? entry->message : "") &&
             WriteText(file, "\r\n\r\n");
    }
    CloseHandle(file);
    return ok;
}

int MoveErrorFile(const char *errorFile, const char *destination, char *why, int whySize)
{
    if (why && whySize > 0)
        why[0] = 0;
    if (!errorFile || !destination || !destination[0])
        return 0;
    char from[MAX_PATH] = "", to[MAX_PATH] = "";
    if (!GetFullPathNameA(errorFile, sizeof(from), from, NULL))
        lstrcpynA(from, errorFile, sizeof(from));
    if (!GetFullPathNameA(destination, sizeof(to), to, NULL))
        lstrcpynA(to, destination, sizeof(to));
    if (!lstrcmpiA(from, to)) {
        if (why)
            snprintf(why, whySize, "The error list is already stored in\r\n%s.\r\n\r\nIt was kept there.", to);
        return 0;
    }
    // The copy must be complete before the original goes.
    if (!CopyFileA(from, to, FALSE)) {
        char system[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, GetLastError(), 0, system,
                       sizeof(system), NULL);
        if (why)
            snprintf(why, whySize, "The error list could not be saved as\r\n%s.\r\n\r\n%s\r\nIt was kept in\r\n%s.",
                     to, system, from);
        return 0;
    }
    DeleteFileA(from);
    return 1;
}

int ShowReturnErrorList(HWND owner, OpenReturn *returnRecord)
{
    if (!returnRecord || FindReturnPages(2, NULL, NULL, 0) <= 0) {
        ShowMessageBox(owner, "No tax return is open.  Open a tax return first, then check it for errors.",
                       "Check Return", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    FinishPendingRecompute();   // the amounts compared are those of the values entered
    ErrorEntry *first = NULL;
    int count = CollectReturnErrors(returnRecord, &first);
    if (count == 0) {
        ShowMessageBox(owner, "Levyline found no errors that would keep this return from being e-filed.",
                       "Check Return", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    char path[MAX_PATH] = "";
    GetProgramFolder(path, FOLDER_TEMP);
    AppendTextBounded(path, sizeof(path), "\\RtnErrors.txt");
    WriteErrorFile(path, returnRecord, first);
    ErrorListRequest request;
    memset(&request, 0, sizeof(request));
    request.returnRecord = returnRecord;
    request.errorFile = path;
    request.firstError = first;
    ShowErrorListDialog(owner, &request);
    FreeErrorEntries(first);
    return count;
}
