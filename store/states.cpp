// states.cpp - the state and region table: states and DC by jurisdiction code, then military
// addresses, US possessions, other places, Canadian provinces and non-US countries.
#include "store/store.h"

#include <string.h>


// Each section begins with a row whose abbreviation is empty and ends at the next such row.
const UsStateRow gStateTable[] = {
    // States and DC in alphabetical order of name: the row number is the jurisdiction code.
    {"", ""},
    {"AL", "Alabama"},
    {"AK", "Alaska"},
    {"AZ", "Arizona"},
    {"AR", "Arkansas"},
    {"CA", "California"},
    {"CO", "Colorado"},
    {"CT", "Connecticut"},
    {"DE", "Delaware"},
    {"DC", "District of Columbia"},
    {"FL", "Florida"},
    {"GA", "Georgia"},
    {"HI", "Hawaii"},
    {"ID", "Idaho"},
    {"IL", "Illinois"},
    {"IN", "Indiana"},
    {"IA", "Iowa"},
    {"KS", "Kansas"},
    {"KY", "Kentucky"},
    {"LA", "Louisiana"},
    {"ME", "Maine"},
    {"MD", "Maryland"},
    {"MA", "Massachusetts"},
    {"MI", "Michigan"},
    {"MN", "Minnesota"},
    {"MS", "Mississippi"},
    {"MO", "Missouri"},
    {"MT", "Montana"},
    {"NE", "Nebraska"},
    {"NV", "Nevada"},
    {"NH", "New Hampshire"},
    {"NJ", "New Jersey"},
    {"NM", "New Mexico"},
    {"NY", "New York"},
    {"NC", "North Carolina"},
    {"ND", "North Dakota"},
    {"OH", "Ohio"},
    {"OK", "Oklahoma"},
    {"OR", "Oregon"},
    {"PA", "Pennsylvania"},
    {"RI", "Rhode Island"},
    {"SC", "South Carolina"},
    {"SD", "South Dakota"},
    {"TN", "Tennessee"},
    {"TX", "Texas"},
    {"UT", "Utah"},
    {"VT", "Vermont"},
    {"VA", "Virginia"},
    {"WA", "Washington"},
    {"WV", "West Virginia"},
    {"WI", "Wisconsin"},
    {"WY", "Wyoming"},
    // Military addresses.
    {"", ""},
    {"AA", "Armed Forces Americas"},
    {"AE", "Armed Forces Europe"},
    {"AP", "Armed Forces Pacific"},
    // US possessions and freely associated states.
    {"", ""},
    {"AS", "American Samoa"},
    {"FM", "Federated States of Micronesia"},
    {"GU", "Guam"},
    {"MH", "Marshall Islands"},
    {"MP", "Northern Mariana Islands"},
    {"PW", "Palau"},
    {"PR", "Puerto Rico"},
    {"VI", "U.S. Virgin Islands"},
    // Other places.
    {"", ""},
    {"XX", "Other (not listed)"},
    // Canadian provinces and territories.
    {"", ""},
    {"AB", "Alberta"},
    {"BC", "British Columbia"},
    {"MB", "Manitoba"},
    {"NB", "New Brunswick"},
    {"NL", "Newfoundland and Labrador"},
    {"NT", "Northwest Territories"},
    {"NS", "Nova Scotia"},
    {"NU", "Nunavut"},
    {"ON", "Ontario"},
    {"PE", "Prince Edward Island"},
    {"QC", "Quebec"},
    {"SK", "Saskatchewan"},
    {"YT", "Yukon"},
    // Non-US countries (codes chosen not to clash with any abbreviation above).
    {"", ""},
    {"CN", "China"},
    {"FR", "France"},
    {"IE", "Ireland"},
    {"IT", "Italy"},
    {"JP", "Japan"},
    {"MX", "Mexico"},
    {"PH", "Philippines"},
    {"UK", "United Kingdom"},
    // End of the table.
    {"", ""},
};

const int gStateTableRowCount = (int)(sizeof gStateTable / sizeof gStateTable[0]);

int GetStateSectionRange(int groupFlag, int *firstRow, int *endRow)
{
    // The section index is the bit number of the group flag.
    int section = -1;
    for (int bit = 0; bit < 6; bit++)
        if (groupFlag == (1 << bit))
            section = bit;
    if (section < 0)
        return 0;
    int header = -1;
    int seen = 0;
    for (int row = 0; row < gStateTableRowCount; row++) {
        if (gStateTable[row].abbreviation[0] == 0) {
            if (seen == section) {
                header = row;
                break;
            }
            seen++;
        }
    }
    if (header < 0)
        return 0;
    int end = header + 1;
    while (end < gStateTableRowCount && gStateTable[end].abbreviation[0] != 0)
        end++;
    if (firstRow)
        *firstRow = header + 1;
    if (endRow)
        *endRow = end;
    return 1;
}

static void CopyRowText(char *out, const char *text)
{
    size_t length = strnlen(text, 63);
    memcpy(out, text, length);
    out[length] = 0;
}

int LookupUsState(const char *text, char *out, int groupFlags)
{
    if (!text || !*text)
        return 0;
    if (groupFlags == 0)
        groupFlags = STATE_GROUP_STATES;
    size_t length = strlen(text);
    for (int bit = 0; bit < 6; bit++) {
        int first, end;
        if (!(groupFlags & (1 << bit)) || !GetStateSectionRange(1 << bit, &first, &end))
            continue;
        for (int row = first; row < end; row++) {
            const UsStateRow *state = &gStateTable[row];
            if (length == 2 && _stricmp(text, state->abbreviation) == 0) {
                if (out)
                    CopyRowText(out, state->name);
                return row;
            }
            if (length > 2 && _stricmp(text, state->name) == 0) {
                if (out)
                    CopyRowText(out, state->abbreviation);
                return row;
            }
        }
    }
    return 0;
}

int GetStateAgencyName(int code, int reserved1, int reserved2, char *shortOut, char *longOut)
{
    (void)reserved1;
    (void)reserved2;
    const char *shortName = NULL;
    const char *longName = NULL;
    switch (code) {
    case 5:
        shortName = "CA FTB";
        longName = "California Franchise Tax Board";
        break;
    case 23:
        shortName = "MI DOT";
        longName = "Michigan Department of Treasury";
        break;
    case 24:
        shortName = "MN DOR";
        longName = "Minnesota Department of Revenue";
        break;
    default:
        return 0;
    }
    if (shortOut)
        strcpy(shortOut, shortName);  // at most 7 bytes: fits the documented 16
    if (longOut)
        strcpy(longOut, longName);    // at most 32 bytes: fits the documented 64
    return 1;
}
