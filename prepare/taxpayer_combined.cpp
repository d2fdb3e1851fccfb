// taxpayer_combined.cpp - the combined taxpayer items of one field ("1bc" first name and middle
// initial, "1de" last name and suffix, "1fg" street and apartment): the typed text is split into
// its members, and each member is stored under its own edit rules.
#include "prepare/prepare.h"
#include "prepare/taxpayer_combined.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

static int IsNameSuffix(const char *word)
{
    static const char *const suffixes[] = {"JR", "SR", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
    char plain[8];
    size_t n = strlen(word);
    if (n && word[n - 1] == '.')
        n--;
    if (n == 0 || n >= sizeof(plain))
        return 0;
    memcpy(plain, word, n);
    plain[n] = 0;
    for (size_t i = 0; i < sizeof suffixes / sizeof suffixes[0]; i++)
        if (_stricmp(plain, suffixes[i]) == 0)
            return 1;
    return 0;
}

static int EndsWithWord(const char *text, const char *word)
{
    size_t n = strlen(text), m = strlen(word);
    return m && n > m && text[n - m - 1] == ' ' && _stricmp(text + n - m, word) == 0;
}

int GetCombinedItemMembers(const char *itemCode, char *mainCode, char *extraCode)
{
    if (!itemCode || (itemCode[0] != '1' && itemCode[0] != '2') || !itemCode[1] || strchr(itemCode, ':'))
        return 0;
    char extra;
    switch (itemCode[1]) {
    case 'b': extra = 'c'; break;
    case 'd': extra = 't'; break;
    case 'f': extra = 'g'; break;
    default: return 0;
    }
    char flag = itemCode[2];
    if (!(flag == 'c' && itemCode[1] == 'b') && !(flag == 'e' && itemCode[1] == 'd') &&
        !(flag == 'g' && itemCode[1] == 'f'))
        return 0;
    mainCode[0] = extraCode[0] = itemCode[0];
    mainCode[1] = itemCode[1];
    extraCode[1] = extra;
    mainCode[2] = extraCode[2] = 0;
    return 1;
}

int SplitCombinedItemText(char itemLetter, const char *text, const char *oldExtra, char *mainOut, int mainSize,
                          char *extraOut, int extraSize)
{
    if (!text || !mainOut || !extraOut || mainSize <= 0 || extraSize <= 0)
        return 0;
    char work[160];
    snprintf(work, sizeof work, "%s", text);
    TrimSpaces(work);
    mainOut[0] = extraOut[0] = 0;
    const char *old = oldExtra ? oldExtra : "";
    char *lastBlank = strrchr(work, ' ');
    const char *lastWord = lastBlank ? lastBlank + 1 : NULL;
    int split = 0;
    switch (itemLetter) {
    case 'b':   // the last word is the middle name when it is an initial or the middle name kept
        split = lastWord && ((isalpha((unsigned char)lastWord[0]) &&
                              (!lastWord[1] || (lastWord[1] == '.' && !lastWord[2]))) ||
                             (old[0] && _stricmp(lastWord, old) == 0));
        break;
    case 'd':   // the last word is the suffix when it is one
        split = lastWord && (IsNameSuffix(lastWord) || (old[0] && _stricmp(lastWord, old) == 0));
        break;
    case 'f':   // the apartment kept at the end of the street
        if (old[0] && EndsWithWord(work, old)) {
            work[strlen(work) - strlen(old) - 1] = 0;
            TrimSpaces(work);
            snprintf(mainOut, mainSize, "%s", work);
            snprintf(extraOut, extraSize, "%s", old);
            return 2;
        }
        break;
    default:
        return 0;
    }
    if (split) {
        *lastBlank = 0;
        TrimSpaces(work);
        snprintf(extraOut, extraSize, "%s", lastWord);
        if (itemLetter == 'b' && extraOut[1] == '.')
            extraOut[1] = 0;   // "K." is the initial K
    }
    snprintf(mainOut, mainSize, "%s", work);
    return split ? 2 : 1;
}

int ApplyCombinedItemRules(const char *itemCode, const char *text, OpenReturn *returnRecord)
{
    char mainCode[4], extraCode[4];
    if (!GetCombinedItemMembers(itemCode, mainCode, extraCode) || !returnRecord)
        return -1;
    TaxpayerItemInfo info;
    if (!GetTaxpayerItemInfo(extraCode[0], extraCode[1], &info))
        return -1;
    char oldExtra[64];
    snprintf(oldExtra, sizeof oldExtra, "%.*s", info.size - 1, ReturnText(returnRecord, info.offset));
    char main[160], extra[64];
    SplitCombinedItemText(itemCode[1], text, oldExtra, main, sizeof main, extra, sizeof extra);
    // Both members or neither: the rules run on a copy that replaces the record when both pass.
    OpenReturn *copy = (OpenReturn *)MemAlloc(64, sizeof(OpenReturn));
    if (!copy)
        return 0;
    memcpy(copy, returnRecord, sizeof(OpenReturn));
    int ok = ApplyFieldEditRules(mainCode, main, copy, NULL) && ApplyFieldEditRules(extraCode, extra, copy, NULL);
    if (ok)
        memcpy(returnRecord, copy, sizeof(OpenReturn));
    MemFree(copy);
    return ok;
}
