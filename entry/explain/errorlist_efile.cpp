// Check Return's checks of an individual return against what e-filing needs and what it
// refuses, each reported with its place and the value found: the filing status ticked on Form
// 1040, the US address, the direct deposit and the refund asked for, the self-select PINs that
// sign, the birth dates. Only what the return's own fields hold is checked.
#include "entry/explain/explain_private.h"
#include "calc/calc.h"
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

// Form 1040's pages and the fields read here.
#define F1040_PAGE1 "Form 1040.1"
#define F1040_PAGE2 "Form 1040.2"
// The filing status boxes, in the order of the status numbers 1 to 5.
static const char *const kFilingStatusSeqs[5] = {"0041", "0042", "0043", "0044", "0045"};
static const char *const kFilingStatusNames[5] = {"Single", "Married filing jointly", "Married filing separately",
                                                  "Head of household", "Qualifying surviving spouse"};
#define SEQ_OVERPAID "0440"   // line 34
#define SEQ_REFUND   "0451"   // line 35a
#define SEQ_ROUTING  "0452"   // line 35b
#define SEQ_CHECKING "0453"   // line 35c
#define SEQ_SAVINGS  "0454"
#define SEQ_ACCOUNT  "0455"   // line 35d
#define SEQ_TP_IPPIN "0512"
#define SEQ_SP_IPPIN "0515"

// The first page keyed pageKey that has a field table (null when the return has none).
static FormInstance *FindTablePage(const char *pageKey)
{
    FormInstance *page = NULL;
    if (FindReturnPages(14, pageKey, &page, 0) != 1 || !page || !page->fieldTable)
        return NULL;
    return page;
}

// The field seq of page (null when it has none).
static FieldRecord *PageField(FormInstance *page, const char *seq)
{
    if (!page || !page->fieldTable)
        return NULL;
    int index = FindLayoutField(page->fieldTable, 1, seq, 0);
    if (index <= 0 || index >= page->fieldTable->count)
        return NULL;
    return &page->fieldTable->fields[index];
}

// 1 when the field holds something other than blanks (a ticked box holds its mark).
static int HasValue(const FieldRecord *field)
{
    return field && field->value && field->value[strspn(field->value, " ")];
}

int IsIdentityPinField(const FormInstance *page, const FieldRecord *field)
{
    return page && page->pageKey && field && field->seq && !_stricmp(page->pageKey, F1040_PAGE2) &&
           (!strcmp(field->seq, SEQ_TP_IPPIN) || !strcmp(field->seq, SEQ_SP_IPPIN));
}

int CheckFilingStatus(OpenReturn *record, ErrorEntry **first, int *statusOut)
{
    *statusOut = 0;
    FormInstance *page = FindTablePage(F1040_PAGE1);
    FieldRecord *boxes[5];
    int found = 0;
    for (int i = 0; i < 5; i++)
        found += (boxes[i] = PageField(page, kFilingStatusSeqs[i])) != NULL;
    if (!found) {
        // No Form 1040 boxes: the status the return record keeps.
        char text[4];
        CopyReturnMember(record, RETURN_FILING_STATUS, 2, text, sizeof(text));
        if (text[0] >= '1' && text[0] <= '5' && !text[1])
            *statusOut = text[0] - '0';
        return 0;
    }
    char ticked[160] = "";
    int count = 0, status = 0;
    FieldRecord *place = NULL;
    for (int i = 0; i < 5; i++) {
        if (!place)
            place = boxes[i];
        if (!HasValue(boxes[i]))
            continue;
        count++;
        status = i + 1;
        if (ticked[0])
            AppendTextBounded(ticked, sizeof(ticked), ", ");
        AppendTextBounded(ticked, sizeof(ticked), kFilingStatusNames[i]);
    }
    if (count == 1) {
        *statusOut = status;
        return 0;
    }
    char location[300];
    FormatFieldPlace(page, place, "Filing status", location, sizeof(location));
    if (count == 0)
        return AddErrorEntry(first, location, "(none ticked)", "One filing status box must be ticked.");
    return AddErrorEntry(first, location, ticked, "Only one filing status box may be ticked.");
}

// A US address needs its street, city, state and ZIP code.
static int CheckUsAddress(OpenReturn *record, ErrorEntry **first)
{
    if (ReturnBytes(record, RETURN_ADDRESS_KIND)[0] == '3')
        return 0;   // an address abroad has parts of its own
    static const struct {
        int offset, size;
        const char *place, *message;
    } parts[] = {
        {RETURN_STREET, 36, "Taxpayer Information - Street Address", "A US address needs its street address."},
        {RETURN_CITY, 36, "Taxpayer Information - City", "A US address needs its city."},
        {RETURN_STATE, 3, "Taxpayer Information - State", "A US address needs its state."},
        {RETURN_ZIP, 11, "Taxpayer Information - ZIP Code", "A US address needs its ZIP code."},
    };
    int errors = 0;
    for (const auto &part : parts) {
        char text[40];
        CopyReturnMember(record, part.offset, part.size, text, sizeof(text));
        if (!text[0])
            errors += AddErrorEntry(first, part.place, "(blank)", part.message);
    }
    return errors;
}

// The refund asked for on line 35a is at most the amount overpaid on line 34; a direct deposit
// begun (a routing or an account number entered) has both numbers and its account type.
static int CheckRefundDeposit(ErrorEntry **first)
{
    FormInstance *page = FindTablePage(F1040_PAGE2);
    if (!page)
        return 0;
    int errors = 0;
    char location[300], message[200];
    FieldRecord *refund = PageField(page, SEQ_REFUND), *overpaid = PageField(page, SEQ_OVERPAID);
    if (HasValue(refund) && overpaid) {
        const char *paid = HasValue(overpaid) ? overpaid->value : "0";
        if (TextToDouble(refund->value) > TextToDouble(paid) + 0.005) {
            FormatFieldPlace(page, refund, NULL, location, sizeof(location));
            snprintf(message, sizeof(message),
                     "The refund on line 35a is larger than the amount overpaid on line 34 (%s).", paid);
            errors += AddErrorEntry(first, location, refund->value, message);
        }
    }
    FieldRecord *routing = PageField(page, SEQ_ROUTING), *account = PageField(page, SEQ_ACCOUNT);
    FieldRecord *checking = PageField(page, SEQ_CHECKING), *savings = PageField(page, SEQ_SAVINGS);
    if (!HasValue(routing) && !HasValue(account))
        return errors;   // no direct deposit: the refund comes by check
    if (routing && !HasValue(routing)) {
        FormatFieldPlace(page, routing, NULL, location, sizeof(location));
        errors += AddErrorEntry(first, location, "(blank)", "A direct deposit needs the routing number.");
    }
    if (account && !HasValue(account)) {
        FormatFieldPlace(page, account, NULL, location, sizeof(location));
        errors += AddErrorEntry(first, location, "(blank)", "A direct deposit needs the account number.");
    }
    if (checking && savings && !HasValue(checking) && !HasValue(savings)) {
        FormatFieldPlace(page, checking, "Type of account", location, sizeof(location));
        errors += AddErrorEntry(first, location, "(none ticked)",
                                "A direct deposit needs the type of account: tick Checking or Savings.");
    }
    return errors;
}

// A return signed by self-select PIN (either person's choice on the e-File Options page): each
// signer, the taxpayer and on a joint return the spouse, has a PIN of five digits other than
// 00000 and the prior-year AGI or the prior-year PIN that proves who signs.
static int CheckSigningPins(OpenReturn *record, int status, ErrorEntry **first)
{
    if (!ReturnBytes(record, RETURN_TAXPAYER + PERSON_SELF_PIN_FLAG)[0] &&
        !ReturnBytes(record, RETURN_SPOUSE + PERSON_SELF_PIN_FLAG)[0])
        return 0;
    int errors = 0;
    for (int spouse = 0; spouse < (status == 2 ? 2 : 1); spouse++) {
        int block = spouse ? RETURN_SPOUSE : RETURN_TAXPAYER;
        const char *who = spouse ? "spouse" : "taxpayer";
        char pin[16], agi[16], prior[16], location[120], message[200];
        CopyReturnMember(record, block + PERSON_SELF_PIN, 12, pin, sizeof(pin));
        if (strlen(pin) != 5 || strspn(pin, "0123456789") != 5 || !strcmp(pin, "00000")) {
            snprintf(location, sizeof(location), "e-File Options - %s",
                     GetEfileSheetLabel(spouse ? EFS_SP_PIN : EFS_TP_PIN));
            snprintf(message, sizeof(message),
                     "The return is signed by self-select PIN: the %s's PIN must be 5 digits, not 00000.", who);
            errors += AddErrorEntry(first, location, pin[0] ? pin : "(blank)", message);
        }
        CopyReturnMember(record, block + PERSON_PRIOR_AGI, 13, agi, sizeof(agi));
        CopyReturnMember(record, block + PERSON_PRIOR_PIN, 13, prior, sizeof(prior));
        if (!agi[0] && !prior[0]) {
            snprintf(location, sizeof(location), "e-File Options - %s",
                     GetEfileSheetLabel(spouse ? EFS_SP_PRIOR_AGI : EFS_TP_PRIOR_AGI));
            snprintf(message, sizeof(message),
                     "The return is signed by self-select PIN: the %s's prior-year AGI or prior-year PIN is "
                     "required.", who);
            errors += AddErrorEntry(first, location, "(blank)", message);
        }
    }
    return errors;
}

// A birth date entered is a calendar date (mm/dd/yyyy) and not later than today.
static int CheckBirthDates(OpenReturn *record, ErrorEntry **first)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    long today = now.wYear * 10000L + now.wMonth * 100 + now.wDay;
    int errors = 0;
    for (int spouse = 0; spouse < 2; spouse++) {
        char text[16];
        CopyReturnMember(record, (spouse ? RETURN_SPOUSE : RETURN_TAXPAYER) + PERSON_BIRTH_DATE, 11, text,
                         sizeof(text));
        if (!text[0])
            continue;
        const char *place = spouse ? "Spouse Information - Date of Birth" : "Taxpayer Information - Date of Birth";
        SYSTEMTIME date;
        if (!ParseDateText(text, &date, 'D'))
            errors += AddErrorEntry(first, place, text, "The date of birth is not a calendar date (mm/dd/yyyy).");
        else if (date.wYear * 10000L + date.wMonth * 100 + date.wDay > today)
            errors += AddErrorEntry(first, place, text, "The date of birth is later than today.");
    }
    return errors;
}

int CheckIndividualEfile(OpenReturn *record, int status, ErrorEntry **first)
{
    // One after the other: the list keeps this order.
    int errors = CheckUsAddress(record, first);
    errors += CheckRefundDeposit(first);
    errors += CheckSigningPins(record, status, first);
    errors += CheckBirthDates(record, first);
    return errors;
}
