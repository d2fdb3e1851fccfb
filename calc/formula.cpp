// formula.cpp - the formula interpreter of calculated fields and the explanation of their sources
// (the language is described in docs/formulas.md).
#include "calc/calc.h"

#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#define FORMULA_TEXT_SIZE 256

// One item of a list: an optional op and an operand, pointing into the parsed copy.
struct FormulaItem {
    char op;      // 0, '+', '-', '*', '/', 'm', 'M'
    char kind;    // 'F' field of the same form, 'O' field of another form, 'T' taxpayer item, '#' constant
    char *key;    // 'O': page key
    char *seq;    // 'F', 'O': sequence number
    char *text;   // 'T': item code, '#': constant text
};
struct FormulaList {
    FormulaItem *items;
    int count;
};
struct ParsedFormula {
    char *copy;          // the formula's text, cut in place
    int conditional;
    char compare[3];     // "" when the condition has no compare sign
    FormulaList left, right, thenList, elseList;
};

// The value of one operand.
struct ItemValue {
    double number;
    int isNumber;        // the text is a number (an empty value counts as 0)
    int hasValue;        // the text is not empty
    int isSource;        // a field or taxpayer item (constants are not)
    int missingForm;     // 'O': the return holds no page with the key
    int copies;          // 'O': pages found
    char text[FORMULA_TEXT_SIZE];
};

// The value of a list.
struct ListValue {
    double number;
    int isText;          // a copied text that is not a number
    int blank;           // every source was empty
    char text[FORMULA_TEXT_SIZE];
};

int IsCalculatedType(const char *typeCode)
{
    return typeCode && (typeCode[0] == 'C' || typeCode[0] == 'c');
}

static void CopyBounded(char *out, int outSize, const char *text)
{
    if (!out || outSize <= 0)
        return;
    if (!text)
        text = "";
    int n = (int)strlen(text);
    if (n > outSize - 1)
        n = outSize - 1;
    memcpy(out, text, n);
    out[n] = 0;
}

// ---- parsing ----

// The first character of set at bracket depth 0 ({...} and [...] are skipped), or null.
static char *FindOutside(char *text, const char *set)
{
    int depth = 0;
    for (char *p = text; *p; p++) {
        if (*p == '{' || *p == '[')
            depth++;
        else if ((*p == '}' || *p == ']') && depth > 0)
            depth--;
        else if (depth == 0 && strchr(set, *p))
            return p;
    }
    return NULL;
}

static int CountOutside(char *text, char ch)
{
    int n = 0;
    char set[2] = {ch, 0};
    for (char *p = FindOutside(text, set); p; p = FindOutside(p + 1, set))
        n++;
    return n;
}

static int ParseItem(char *p, FormulaItem *item)
{
    memset(item, 0, sizeof(*item));
    if (*p && strchr("+-*/mM", *p))
        item->op = *p++;
    if (isdigit((unsigned char)*p)) {
        if (strpbrk(p, "{}[]#"))
            return 0;
        item->kind = 'F';
        item->seq = p;
        return 1;
    }
    if (*p == '{') {
        char *close = strchr(p, '}');
        if (!close || close == p + 1 || !isdigit((unsigned char)close[1]) || strpbrk(close + 1, "{}[]#"))
            return 0;
        *close = 0;
        item->kind = 'O';
        item->key = p + 1;
        item->seq = close + 1;
        return 1;
    }
    if (p[0] == 'T' && p[1] == '[') {
        size_t n = strlen(p);
        if (n < 4 || p[n - 1] != ']')
            return 0;
        p[n - 1] = 0;
        item->kind = 'T';
        item->text = p + 2;
        return 1;
    }
    if (*p == '#' && p[1]) {
        item->kind = '#';
        item->text = p + 1;
        return 1;
    }
    return 0;
}

static int ParseList(char *text, FormulaList *list)
{
    list->items = NULL;
    list->count = 0;
    if (!*text)
        return 1;
    int capacity = CountOutside(text, ',') + 1;
    list->items = (FormulaItem *)MemAlloc(64, sizeof(FormulaItem) * capacity);
    if (!list->items)
        return 0;
    char *p = text;
    while (p && list->count < capacity) {
        char *comma = FindOutside(p, ",");
        if (comma)
            *comma = 0;
        if (!ParseItem(p, &list->items[list->count]))
            return 0;
        list->count++;
        p = comma ? comma + 1 : NULL;
    }
    return 1;
}

static void FreeParsedFormula(ParsedFormula *pf)
{
    pf->left.items = (FormulaItem *)MemFree(pf->left.items);
    pf->right.items = (FormulaItem *)MemFree(pf->right.items);
    pf->thenList.items = (FormulaItem *)MemFree(pf->thenList.items);
    pf->elseList.items = (FormulaItem *)MemFree(pf->elseList.items);
    pf->copy = (char *)MemFree(pf->copy);
}

// Parses formula into pf (freed with FreeParsedFormula, also after a failure). 1, or 0 when the
// formula does not follow the grammar.
static int ParseFormula(const char *formula, ParsedFormula *pf)
{
    memset(pf, 0, sizeof(*pf));
    if (!formula || !*formula)
        return 0;
    size_t n = strlen(formula);
    pf->copy = (char *)MemAlloc(64, n + 1);
    if (!pf->copy)
        return 0;
    // Blanks outside braces and brackets are not part of the formula.
    int depth = 0, o = 0;
    for (size_t i = 0; i < n; i++) {
        char c = formula[i];
        if (c == '{' || c == '[')
            depth++;
        else if ((c == '}' || c == ']') && depth > 0)
            depth--;
        if (depth == 0 && (c == ' ' || c == '\t' || c == '\r' || c == '\n'))
            continue;
        pf->copy[o++] = c;
    }
    pf->copy[o] = 0;
    if (!pf->copy[0])
        return 0;

    int questions = CountOutside(pf->copy, '?');
    if (questions > 1)
        return 0;
    if (questions == 0) {
        if (FindOutside(pf->copy, ";<>=!"))
            return 0;
        return ParseList(pf->copy, &pf->thenList) && pf->thenList.count > 0;
    }
    pf->conditional = 1;
    char *question = FindOutside(pf->copy, "?");
    *question = 0;
    char *branches = question + 1;
    char *semicolon = FindOutside(branches, ";");
    char *elseText = (char *)"";
    if (semicolon) {
        *semicolon = 0;
        elseText = semicolon + 1;
        if (FindOutside(elseText, ";"))
            return 0;
    }
    if (FindOutside(branches, "<>=!") || FindOutside(elseText, "<>=!"))
        return 0;
    char *condition = pf->copy;
    char *compare = FindOutside(condition, "<>=!");
    char *rightText = NULL;
    if (compare) {
        char c0 = compare[0], c1 = compare[1];
        if (c0 == '!' && c1 != '=')
            return 0;
        int width = ((c0 == '<' || c0 == '>' || c0 == '!') && c1 == '=') ? 2 : 1;
        memcpy(pf->compare, compare, width);
        pf->compare[width] = 0;
        *compare = 0;
        rightText = compare + width;
        if (!*rightText || FindOutside(rightText, "<>=!"))
            return 0;
    }
    if (!ParseList(condition, &pf->left) || pf->left.count == 0)
        return 0;
    if (rightText && (!ParseList(rightText, &pf->right) || pf->right.count == 0))
        return 0;
    return ParseList(branches, &pf->thenList) && ParseList(elseText, &pf->elseList);
}

// ---- values ----

// The field of table whose sequence number is seq, or null.
static FieldRecord *FindFieldBySeq(const FieldTable *table, const char *seq)
{
    if (!table || !table->fields || table->count <= 0 || !seq)
        return NULL;
    if (table->sortedIndex && table->count > 1) {
        int low = 0, high = table->count - 2;
        while (low <= high) {
            int mid = (low + high) / 2;
            int index = table->sortedIndex[mid];
            if (index < 0 || index >= table->count)
                break;
            const char *s = table->fields[index].seq ? table->fields[index].seq : "";
            int c = strcmp(s, seq);
            if (c == 0)
                return &table->fields[index];
            if (c < 0)
                low = mid + 1;
            else
                high = mid - 1;
        }
    }
    // Tables without an index (a statement row's temporary table) and damaged indexes.
    for (int i = 0; i < table->count; i++)
        if (table->fields[i].seq && strcmp(table->fields[i].seq, seq) == 0)
            return &table->fields[i];
    return NULL;
}

// The pages whose page key is key (case ignored): a new MemAlloc array (null when none) and the
// count. Without a page set the open return is asked.
static FormInstance **FindKeyPages(const FormulaPageSet *set, const char *key, int *countOut)
{
    *countOut = 0;
    if (set && set->pages) {
        int n = 0;
        for (int i = 0; i < set->count; i++)
            if (set->pages[i] && set->pages[i]->pageKey && _stricmp(set->pages[i]->pageKey, key) == 0)
                n++;
        if (!n)
            return NULL;
        FormInstance **out = (FormInstance **)MemAlloc(64, sizeof(FormInstance *) * n);
        if (!out)
            return NULL;
        for (int i = 0, k = 0; i < set->count && k < n; i++)
            if (set->pages[i] && set->pages[i]->pageKey && _stricmp(set->pages[i]->pageKey, key) == 0)
                out[k++] = set->pages[i];
        *countOut = n;
        return out;
    }
    return SnapshotReturnPages(1, key, countOut);
}

// The text of a taxpayer item ("1a", "2b", "0") from the return record.
static void GetTaxpayerItemText(const char *code, char *out, int outSize)
{
    out[0] = 0;
    if (!code || !code[0])
        return;
    TaxpayerItemInfo info;
    memset(&info, 0, sizeof(info));
    if (!GetTaxpayerItemInfo(code[0], code[1], &info))
        return;
    int offset = info.offset;  // already the spouse's member for kind '2'
    if (offset < 0 || info.size <= 0 || offset + info.size > OPEN_RETURN_SIZE || !gOpenReturnPtr)
        return;
    const char *member = (const char *)gOpenReturnPtr->bytes + offset;
    int n = 0;
    while (n < info.size && n < outSize - 1 && member[n])
        n++;
    memcpy(out, member, n);
    out[n] = 0;
    TrimSpaces(out);
}

static void GetItemValue(const FormulaItem *item, const FieldTable *table, const FormulaPageSet *set,
                         ItemValue *v)
{
    memset(v, 0, sizeof(*v));
    switch (item->kind) {
    case 'F': {
        FieldRecord *field = FindFieldBySeq(table, item->seq);
        CopyBounded(v->text, sizeof(v->text), field ? field->value : NULL);
        v->isSource = 1;
        break;
    }
    case 'O': {
        int count = 0;
        FormInstance **pages = FindKeyPages(set, item->key, &count);
        v->isSource = 1;
        v->copies = count;
        v->missingForm = count == 0;
        double sum = 0;
        int numbers = 0, texts = 0;
        for (int i = 0; i < count; i++) {
            FieldRecord *field = pages[i] ? FindFieldBySeq(pages[i]->fieldTable, item->seq) : NULL;
            if (!field || !field->value || !field->value[0])
                continue;
            double x;
            if (ReadNumberText(field->value, &x)) {
                sum += x;
                numbers++;
            } else {
                texts++;
            }
            if (!v->text[0])
                CopyBounded(v->text, sizeof(v->text), field->value);
        }
        MemFree(pages);
        if (numbers && !texts) {
            v->hasValue = 1;
            v->isNumber = 1;
            v->number = sum;
            if (numbers > 1)
                FormatCalcNumber(sum, 0, -1, 1, v->text, sizeof(v->text));
            return;
        }
        break;
    }
    case 'T':
        GetTaxpayerItemText(item->text, v->text, sizeof(v->text));
        v->isSource = 1;
        break;
    case '#':
        CopyBounded(v->text, sizeof(v->text), item->text);
        break;
    }
    v->hasValue = v->text[0] != 0;
    v->isNumber = !v->hasValue || ReadNumberText(v->text, &v->number);
    if (!v->hasValue)
        v->number = 0;
}

static void EvaluateList(const FormulaList *list, const FieldTable *table, const FormulaPageSet *set,
                         ListValue *result)
{
    memset(result, 0, sizeof(*result));
    if (list->count == 0) {
        result->blank = 1;
        return;
    }
    int sources = 0, filled = 0;
    double r = 0;
    ItemValue v;
    for (int i = 0; i < list->count; i++) {
        const FormulaItem *item = &list->items[i];
        GetItemValue(item, table, set, &v);
        if (v.isSource) {
            sources++;
            if (v.hasValue)
                filled++;
        }
        double x = v.isNumber ? v.number : 0;
        if (i == 0) {
            r = item->op == '-' ? -x : x;
            continue;
        }
        switch (item->op) {
        case '-': r -= x; break;
        case '*': r *= x; break;
        case '/': r = (x == 0) ? 0 : r / x; break;
        case 'm': if (x < r) r = x; break;
        case 'M': if (x > r) r = x; break;
        default: r += x; break;
        }
    }
    result->number = r;
    if (list->count == 1 && (list->items[0].op == 0 || list->items[0].op == '+') && v.hasValue && !v.isNumber) {
        result->isText = 1;
        CopyBounded(result->text, sizeof(result->text), v.text);
    } else if (sources > 0 && filled == 0) {
        result->blank = 1;
    }
}

static int IsConditionTrue(const ParsedFormula *pf, const FieldTable *table, const FormulaPageSet *set)
{
    ListValue left, right;
    EvaluateList(&pf->left, table, set, &left);
    if (!pf->compare[0]) {
        if (left.blank)
            return 0;
        return left.isText ? left.text[0] != 0 : fabs(left.number) > 1e-9;
    }
    EvaluateList(&pf->right, table, set, &right);
    int order;
    if (!left.isText && !right.isText) {
        double a = left.blank ? 0 : left.number, b = right.blank ? 0 : right.number;
        order = (a - b > 1e-9) ? 1 : ((b - a > 1e-9) ? -1 : 0);
    } else {
        char a[64], b[64];
        if (left.isText)
            CopyBounded(a, sizeof(a), left.text);
        else if (left.blank)
            a[0] = 0;
        else
            FormatCalcNumber(left.number, 0, -1, 0, a, sizeof(a));
        if (right.isText)
            CopyBounded(b, sizeof(b), right.text);
        else if (right.blank)
            b[0] = 0;
        else
            FormatCalcNumber(right.number, 0, -1, 0, b, sizeof(b));
        order = _stricmp(a, b);
        order = order > 0 ? 1 : (order < 0 ? -1 : 0);
    }
    const char *c = pf->compare;
    if (strcmp(c, "=") == 0) return order == 0;
    if (strcmp(c, "!=") == 0) return order != 0;
    if (strcmp(c, ">") == 0) return order > 0;
    if (strcmp(c, "<") == 0) return order < 0;
    if (strcmp(c, ">=") == 0) return order >= 0;
    if (strcmp(c, "<=") == 0) return order <= 0;
    return 0;
}

// The result letter and decimals of a calculated type code: the letter after 'C'/'c' and, for
// 'R', the decimals of its "[digits.decimals]" text (-1 = the letter's default).
static char GetResultLetter(const char *typeCode, int *decimalsOut)
{
    *decimalsOut = -1;
    if (!typeCode || !typeCode[0])
        return 0;
    const char *p = IsCalculatedType(typeCode) ? typeCode + 1 : typeCode;
    char letter = *p;
    if (letter == 'R' && p[1] == '[') {
        const char *point = strchr(p, '.');
        const char *close = strchr(p, ']');
        if (point && close && point < close && isdigit((unsigned char)point[1]))
            *decimalsOut = atoi(point + 1);
    }
    return letter;
}

int EvaluateFormula(const char *formula, const char *typeCode, const FieldTable *table,
                    const FormulaPageSet *pageSet, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    ParsedFormula pf;
    if (!ParseFormula(formula, &pf)) {
        FreeParsedFormula(&pf);
        return 0;
    }
    const FormulaList *chosen = &pf.thenList;
    if (pf.conditional && !IsConditionTrue(&pf, table, pageSet))
        chosen = &pf.elseList;
    ListValue result;
    EvaluateList(chosen, table, pageSet, &result);
    FreeParsedFormula(&pf);
    if (result.blank)
        return 1;
    if (result.isText) {
        CopyBounded(out, outSize, result.text);
        return 1;
    }
    int decimals;
    char letter = GetResultLetter(typeCode, &decimals);
    if (letter == 'X' || letter == 'x') {
        CopyBounded(out, outSize, fabs(result.number) > 1e-9 ? "X" : "");
        return 1;
    }
    FormatCalcNumber(result.number, letter, decimals, -1, out, outSize);
    return 1;
}

// ---- computing fields ----

// 1 when the comma-separated list names seq exactly.
static int ListNamesSequence(const char *list, const char *seq)
{
    if (!list || !seq || !seq[0])
        return 0;
    size_t n = strlen(seq);
    const char *p = list;
    while (*p) {
        while (*p == ' ' || *p == ',')
            p++;
        const char *end = p;
        while (*end && *end != ',')
            end++;
        const char *last = end;
        while (last > p && last[-1] == ' ')
            last--;
        if ((size_t)(last - p) == n && strncmp(p, seq, n) == 0)
            return 1;
        p = end;
    }
    return 0;
}

// A marked check-mark field clears the check marks paired with it.
static int ClearPairedCheckMarks(FieldRecord *field, FieldTable *table, FormInstance *form)
{
    if (!field->value || !field->value[0] || !table || !table->fields)
        return 0;
    int changed = 0;
    for (int i = 0; i < table->count; i++) {
        FieldRecord *other = &table->fields[i];
        if (other == field || !other->typeCode || other->typeCode[0] != 'x' || !other->value || !other->value[0])
            continue;
        if (!ListNamesSequence(field->valueList, other->seq) && !ListNamesSequence(other->valueList, field->seq))
            continue;
        if (SetFieldText(&other->value, NULL)) {
            changed = 1;
            RepaintComputedField(other, form);
        }
    }
    return changed;
}

int ComputeFieldWith(FieldRecord *field, FieldTable *fieldTable, FormInstance *formInstance,
                     const FormulaPageSet *pageSet)
{
    if (!field || !field->typeCode)
        return 0;
    if (field->typeCode[0] == 'x')
        return ClearPairedCheckMarks(field, fieldTable, formInstance);
    if (!IsCalculatedType(field->typeCode) || !field->valueList || !field->valueList[0])
        return 0;
    char result[FORMULA_TEXT_SIZE];
    if (!EvaluateFormula(field->valueList, field->typeCode, fieldTable, pageSet, result, sizeof(result)))
        return 0;
    return SetFieldText(&field->value, result);
}

// ---- explanation ----

struct ExplainText {
    char *text;
    size_t length;
    size_t size;
    int lines;
};

static void AddExplainLine(ExplainText *t, const char *line)
{
    // The same source named twice (in a condition and a branch) is listed once.
    if (t->text) {
        const char *p = t->text;
        size_t n = strlen(line);
        while (p && *p) {
            const char *end = strstr(p, "\r\n");
            size_t len = end ? (size_t)(end - p) : strlen(p);
            if (len == n && strncmp(p, line, n) == 0)
                return;
            p = end ? end + 2 : NULL;
        }
    }
    size_t need = t->length + strlen(line) + 3;
    if (need > t->size) {
        size_t size = need * 2 + 64;
        char *grown = (char *)MemReAlloc(t->text, size);
        if (!grown)
            return;
        t->text = grown;
        t->size = size;
    }
    if (t->length) {
        memcpy(t->text + t->length, "\r\n", 2);
        t->length += 2;
    }
    size_t n = strlen(line);
    memcpy(t->text + t->length, line, n + 1);
    t->length += n;
    t->lines++;
}

// "Line 1a - Wages" (or the description alone, or "field 0100") of a field.
static void DescribeField(const FieldRecord *field, const char *seq, char *out, int outSize)
{
    const char *line = field && field->line && field->line[0] ? field->line : NULL;
    const char *description = field && field->description && field->description[0] ? field->description : NULL;
    if (line && description)
        snprintf(out, outSize, "Line %s - %s", line, description);
    else if (line)
        snprintf(out, outSize, "Line %s", line);
    else if (description)
        snprintf(out, outSize, "%s", description);
    else
        snprintf(out, outSize, "field %s", seq);
}

// The form name of a page key: the key without its ".page" ending.
static void FormNameOfKey(const char *key, char *out, int outSize)
{
    CopyBounded(out, outSize, key);
    char *dot = strrchr(out, '.');
    if (dot && dot != out)
        *dot = 0;
}

static void ExplainList(const FormulaList *list, const FieldTable *ownTable, ExplainText *t,
                        FormulaExplainInfo *info, int *taxpayerItems, int *fieldSources)
{
    char line[512], what[300], form[160];
    for (int i = 0; i < list->count; i++) {
        const FormulaItem *item = &list->items[i];
        switch (item->kind) {
        case 'F': {
            FieldRecord *field = FindFieldBySeq(ownTable, item->seq);
            DescribeField(field, item->seq, what, sizeof(what));
            snprintf(line, sizeof(line), "%s = %s", what,
                     field && field->value && field->value[0] ? field->value : "(blank)");
            AddExplainLine(t, line);
            info->onThisForm = 1;
            (*fieldSources)++;
            break;
        }
        case 'O': {
            int count = 0;
            FormInstance **pages = FindKeyPages(NULL, item->key, &count);
            FormNameOfKey(item->key, form, sizeof(form));
            info->onOtherForms = 1;
            (*fieldSources)++;
            if (count == 0) {
                info->formMissing = 1;
                snprintf(line, sizeof(line), "* %s, field %s = Form not found", form, item->seq);
            } else {
                FieldRecord *field = FindFieldBySeq(pages[0]->fieldTable, item->seq);
                DescribeField(field, item->seq, what, sizeof(what));
                ItemValue v;
                GetItemValue(item, NULL, NULL, &v);
                if (count > 1)
                    snprintf(line, sizeof(line), "%s (%d copies), %s = %s", form, count, what,
                             v.hasValue ? v.text : "(blank)");
                else
                    snprintf(line, sizeof(line), "%s, %s = %s", form, what, v.hasValue ? v.text : "(blank)");
            }
            MemFree(pages);
            AddExplainLine(t, line);
            break;
        }
        case 'T':
            (*taxpayerItems)++;
            break;
        default:
            break;
        }
    }
}

// The page of the open return whose field table holds field, or null.
static FormInstance *FindPageOfField(const FieldRecord *field)
{
    int got = 0;
    FormInstance **pages = SnapshotReturnPages(2, NULL, &got);
    if (!pages)
        return NULL;
    FormInstance *owner = NULL;
    for (int i = 0; i < got && !owner; i++) {
        FieldTable *table = pages[i] ? pages[i]->fieldTable : NULL;
        if (table && table->fields && field >= table->fields && field < table->fields + table->count)
            owner = pages[i];
    }
    MemFree(pages);
    return owner;
}

char *ExplainFieldFormula(FieldRecord *field, FormulaExplainInfo *outputs)
{
    FormulaExplainInfo local;
    FormulaExplainInfo *info = outputs ? outputs : &local;
    memset(info, 0, sizeof(*info));
    if (!field || !IsCalculatedType(field->typeCode))
        return NULL;
    if (!field->valueList || !field->valueList[0]) {
        info->assigned = 1;
        info->assignedOrGenerated = 1;
        return NULL;
    }
    ParsedFormula pf;
    if (!ParseFormula(field->valueList, &pf)) {
        FreeParsedFormula(&pf);
        return NULL;
    }
    FormInstance *owner = FindPageOfField(field);
    const FieldTable *ownTable = owner ? owner->fieldTable : NULL;
    ExplainText t = {NULL, 0, 0, 0};
    int taxpayerItems = 0, fieldSources = 0;
    ExplainList(&pf.left, ownTable, &t, info, &taxpayerItems, &fieldSources);
    ExplainList(&pf.right, ownTable, &t, info, &taxpayerItems, &fieldSources);
    ExplainList(&pf.thenList, ownTable, &t, info, &taxpayerItems, &fieldSources);
    ExplainList(&pf.elseList, ownTable, &t, info, &taxpayerItems, &fieldSources);

    int single = !pf.conditional && pf.thenList.count == 1 &&
                 (pf.thenList.items[0].op == 0 || pf.thenList.items[0].op == '+');
    if (single && (pf.thenList.items[0].kind == 'F' || pf.thenList.items[0].kind == 'O'))
        info->copied = 1;
    if (single && pf.thenList.items[0].kind == 'T')
        info->taxpayerItem = 1;
    if (taxpayerItems && !fieldSources)
        info->taxpayerOnly = 1;
    if (taxpayerItems)
        info->generated = 1;
    if (!taxpayerItems && !fieldSources)
        info->assigned = 1;
    info->sourceCount = t.lines;
    info->assignedOrGenerated = (info->assigned || info->generated) ? 1 : 0;
    FreeParsedFormula(&pf);
    return t.text;
}
