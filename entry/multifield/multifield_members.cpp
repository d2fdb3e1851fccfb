// multifield_members.cpp - the multi-field popup's window-free rules: which fields a group field
// stands for, their labels, which may stay empty, and the group field's composed text.
#include "entry/multifield/multifield.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

int BuildMultiFieldMembers(FieldRecord *group, const FieldTable *table, FieldRecord **members, int capacity,
                           int *unknownOut, int report)
{
    if (unknownOut)
        *unknownOut = 0;
    if (!group || !table || !members || capacity <= 0)
        return 0;
    int count = 0;
    const char *list = group->valueList ? group->valueList : "";
    // A conditional formula: the members follow its one '?'.
    if (CountChar(list, '?') == 1)
        list = strchr(list, '?') + 1;
    char piece[64];
    const char *p = list;
    while (*p) {
        size_t n = strcspn(p, ",;");
        snprintf(piece, sizeof piece, "%.*s", (int)(n < sizeof piece ? n : sizeof piece - 1), p);
        p += n;
        if (*p)
            p++;
        TrimSpaces(piece);
        char *seq = piece;
        if (*seq && strchr("+-*/mM", *seq))
            seq++;
        // Constants, other forms and taxpayer items of a formula are no members of the page.
        if (!isdigit((unsigned char)*seq))
            continue;
        int index = FindLayoutField(table, 1, seq, report);
        if (index <= 0 || index >= table->count) {
            if (unknownOut)
                (*unknownOut)++;
            continue;
        }
        if (count < capacity)
            members[count++] = &table->fields[index];
    }
    // A calculated group field shows its total as its own last member.
    if (group->typeCode && group->typeCode[0] == 'c' && count < capacity)
        members[count++] = group;
    return count;
}

static int ContainsNoCase(const char *text, const char *find)
{
    if (!text)
        return 0;
    size_t m = strlen(find);
    for (const char *p = text; *p; p++)
        if (_strnicmp(p, find, m) == 0)
            return 1;
    return 0;
}

int ResolveMultiFieldGroupKind(int groupKind, const FieldRecord *group, int memberCount)
{
    if (groupKind != MULTIFIELD_GROUP_NAME || !group || !ContainsNoCase(group->description, "foreign address"))
        return groupKind;
    if (memberCount == 5)
        return MULTIFIELD_GROUP_FOREIGN5;
    if (memberCount == 6)
        return MULTIFIELD_GROUP_FOREIGN6;
    return groupKind;
}

// A 3-part name: the second member is one character long (the middle initial).
static int IsThreePartName(FieldRecord *const *members, int count)
{
    return count == 3 && GetFieldLength(members[1]) == 1;
}

static const char *GetNameAddressLabel(int groupKind, FieldRecord *const *members, int count, int index)
{
    static const char *const kName2[] = {"First Name", "Last Name"};
    static const char *const kName3[] = {"First Name", "MI", "Last Name"};
    static const char *const kCity[] = {"City", "St", "Zip"};
    static const char *const kAddress[] = {"Address", "City", "St", "Zip"};
    static const char *const kForeign5[] = {"Address", "City", "Province/State", "Postal Code", "Country"};
    static const char *const kForeign6[] = {"Address", "Address (cont)", "City", "State or Province", "Postal Code",
                                            "Country"};
    if (index < 0 || index >= count)
        return NULL;
    if (groupKind == MULTIFIELD_GROUP_FOREIGN5 && count == 5)
        return kForeign5[index];
    if (groupKind == MULTIFIELD_GROUP_FOREIGN6 && count == 6)
        return kForeign6[index];
    if (groupKind != MULTIFIELD_GROUP_NAME)
        return NULL;
    if (count == 2)
        return kName2[index];
    if (count == 3)
        return IsThreePartName(members, count) ? kName3[index] : kCity[index];
    if (count == 4)
        return kAddress[index];
    return NULL;
}

int BuildMultiFieldLabel(int groupKind, FieldRecord *const *members, int count, int index,
                         const FieldRecord *group, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    if (!members || index < 0 || index >= count)
        return 0;
    const char *fixed = GetNameAddressLabel(groupKind, members, count, index);
    if (fixed) {
        snprintf(out, (size_t)outSize, "%s", fixed);
        return 1;
    }
    FieldRecord *member = members[index];
    const char *type = member->typeCode ? member->typeCode : "";
    const char *description = member->description ? member->description : "";
    if (type[0] == 'L') {
        // A label member shows its value-list text; "\r\n" written out stands for a line break.
        snprintf(out, (size_t)outSize, "%s", member->valueList ? member->valueList : "");
        char *buffer = out;
        int position = 0;
        while (ReplaceSubString(&buffer, "\\r\\n", "\r\n", 0, &position, (size_t)outSize))
            ;
        return 1;
    }
    if (member == group && type[0] == 'c') {
        if (_strnicmp(description, "Total ", 6) == 0)
            snprintf(out, (size_t)outSize, "     %s", description);
        else
            snprintf(out, (size_t)outSize, "     Total %s", description);
        return 1;
    }
    int number = index + 1;
    if (count >= 10 && number < 10)
        snprintf(out, (size_t)outSize, "  %d.  %s", number, description);
    else
        snprintf(out, (size_t)outSize, "%d.  %s", number, description);
    return 1;
}

int IsOptionalMultiFieldMember(int groupKind, FieldRecord *const *members, int count, int index)
{
    if (groupKind == MULTIFIELD_GROUP_NAME)
        return index == 1 && IsThreePartName(members, count);
    if (groupKind == MULTIFIELD_GROUP_FOREIGN6)
        return index == 1 || index == 3;
    if (groupKind == MULTIFIELD_GROUP_FOREIGN5)
        return index == 2;
    return 0;
}

int IsMultiFieldComplete(int groupKind, FieldRecord *const *members, const char *const *values, int count)
{
    if (groupKind != MULTIFIELD_GROUP_NAME && groupKind != MULTIFIELD_GROUP_FOREIGN5 &&
        groupKind != MULTIFIELD_GROUP_FOREIGN6)
        return 1;
    int filled = 0, empty = 0;
    for (int i = 0; i < count; i++) {
        const char *value = values[i] ? values[i] : "";
        if (value[0])
            filled++;
        else if (!IsOptionalMultiFieldMember(groupKind, members, count, i))
            empty++;
    }
    return !(filled && empty);
}

// Member d (1-based) when it exists and is not empty, else null.
static const char *TakeMember(const char *const *values, int count, int number)
{
    if (number < 1 || number > count || !values[number - 1] || !values[number - 1][0])
        return NULL;
    return values[number - 1];
}

int ComposeMultiFieldValue(const char *typeCode, const char *const *values, int count, char *out, int outSize)
{
    int room = out && outSize > 0;
    if (room)
        out[0] = 0;
    if (!values || count <= 0)
        return 0;
    char rule = typeCode && strlen(typeCode) >= 4 ? typeCode[3] : 0;
    if (isdigit((unsigned char)rule)) {
        const char *taken = TakeMember(values, count, rule - '0');
        if (!taken && typeCode[4] == '|' && isdigit((unsigned char)typeCode[5]))
            taken = TakeMember(values, count, typeCode[5] - '0');
        if (!taken)
            return 0;
        if (room)
            snprintf(out, (size_t)outSize, "%s", taken);
        return (int)strlen(taken);
    }
    const char *separator = rule == '&' ? " & " : " ";
    size_t length = 0;
    for (int i = 0; i < count; i++) {
        if (!values[i] || !values[i][0])
            continue;
        if (length) {
            length += strlen(separator);
            if (room)
                AppendTextBounded(out, (size_t)outSize, separator);
        }
        length += strlen(values[i]);
        if (room)
            AppendTextBounded(out, (size_t)outSize, values[i]);
    }
    return (int)length;
}
