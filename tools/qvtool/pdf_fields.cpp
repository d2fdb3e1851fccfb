// pdf_fields.cpp - the fillable fields of a PDF form, read from qpdf's JSON output, as
// rectangles on the program's page.
#include "tools/qvtool/qvtool.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

// A small JSON tree: just what qpdf writes.
struct JsonNode {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    double number = 0;
    std::string text;
    std::vector<std::string> keys;       // Object
    std::vector<JsonNode> items;         // Array items, or Object values (parallel to keys)
    const JsonNode *Get(const char *key) const
    {
        for (size_t i = 0; kind == Object && i < keys.size(); i++)
            if (keys[i] == key)
                return &items[i];
        return NULL;
    }
};

struct JsonParser {
    const char *p;
    const char *end;
    int depth;
    int failed;

    void Skip()
    {
        while (p < end && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t'))
            p++;
    }
    int ParseString(std::string *out)
    {
        if (p >= end || *p != '"')
            return 0;
        p++;
        while (p < end && *p != '"') {
            if (*p == '\\' && p + 1 < end) {
                p++;
                char c = *p++;
                switch (c) {
                case 'n': out->push_back('\n'); break;
                case 't': out->push_back('\t'); break;
                case 'r': out->push_back('\r'); break;
                case 'b': out->push_back('\b'); break;
                case 'f': out->push_back('\f'); break;
                case 'u': {
                    if (end - p < 4)
                        return 0;
                    unsigned v = (unsigned)strtoul(std::string(p, 4).c_str(), NULL, 16);
                    out->push_back(v < 256 ? (char)v : '?');
                    p += 4;
                    break;
                }
                default: out->push_back(c); break;
                }
            } else {
                out->push_back(*p++);
            }
        }
        if (p >= end)
            return 0;
        p++;
        return 1;
    }
    // After an item of an object or array: 1 at a comma (more follow), 2 at close (the end), else 0.
    int ReadSeparator(char close)
    {
        Skip();
        if (p < end && (*p == ',' || *p == close))
            return *p++ == ',' ? 1 : 2;
        return 0;
    }
    int Parse(JsonNode *node)
    {
        Skip();
        if (p >= end || ++depth > 200)
            return 0;
        int ok = 1;
        if (*p == '{') {
            node->kind = JsonNode::Object;
            p++;
            Skip();
            if (p < end && *p == '}') {
                p++;
            } else {
                for (;;) {
                    Skip();
                    std::string key;
                    if (!ParseString(&key))
                        return 0;
                    Skip();
                    if (p >= end || *p != ':')
                        return 0;
                    p++;
                    node->keys.push_back(key);
                    node->items.emplace_back();
                    if (!Parse(&node->items.back()))
                        return 0;
                    int next = ReadSeparator('}');
                    if (!next)
                        return 0;
                    if (next == 2)
                        break;
                }
            }
        } else if (*p == '[') {
            node->kind = JsonNode::Array;
            p++;
            Skip();
            if (p < end && *p == ']') {
                p++;
            } else {
                for (;;) {
                    node->items.emplace_back();
                    if (!Parse(&node->items.back()))
                        return 0;
                    int next = ReadSeparator(']');
                    if (!next)
                        return 0;
                    if (next == 2)
                        break;
                }
            }
        } else if (*p == '"') {
            node->kind = JsonNode::String;
            ok = ParseString(&node->text);
        } else if (*p == 't' || *p == 'f' || *p == 'n') {
            const char *word = *p == 't' ? "true" : *p == 'f' ? "false" : "null";
            size_t n = strlen(word);
            if ((size_t)(end - p) < n || strncmp(p, word, n) != 0)
                return 0;
            node->kind = *p == 'n' ? JsonNode::Null : JsonNode::Bool;
            node->number = *p == 't';
            p += n;
        } else {
            char *stop = NULL;
            std::string digits;
            while (p < end && strchr("+-0123456789.eE", *p))
                digits.push_back(*p++);
            if (digits.empty())
                return 0;
            node->kind = JsonNode::Number;
            node->number = strtod(digits.c_str(), &stop);
        }
        depth--;
        return ok;
    }
};

struct PdfFieldEntry {
    std::string fullName;
    int page;
    RECT rect;
    int checkBox;
    int combBoxes;       // a comb text field (one character per box): its /MaxLen, else 0
};

struct PdfFieldIndex {
    std::vector<PdfFieldEntry> fields;
};

// A PDF point (origin bottom left of the 612 x 792 letter page) on the program's page.
static LONG ToPageX(double x)
{
    return (LONG)floor(x * 300.0 / 72.0 - 75.0 + 0.5);
}

static LONG ToPageY(double y)
{
    return (LONG)floor((792.0 - y) * 300.0 / 72.0 + 0.5);
}

PdfFieldIndex *LoadPdfFieldIndex(const std::string &jsonPath)
{
    std::vector<uint8_t> bytes;
    if (!LoadFileBytes(jsonPath, &bytes))
        return NULL;
    JsonNode root;
    JsonParser parser = {(const char *)bytes.data(), (const char *)bytes.data() + bytes.size(), 0, 0};
    if (!parser.Parse(&root) || root.kind != JsonNode::Object) {
        ToolError("%s is not qpdf's JSON output", jsonPath.c_str());
        return NULL;
    }
    const JsonNode *acroform = root.Get("acroform");
    const JsonNode *fields = acroform ? acroform->Get("fields") : NULL;
    const JsonNode *qpdf = root.Get("qpdf");
    const JsonNode *objects = (qpdf && qpdf->kind == JsonNode::Array && qpdf->items.size() > 1) ? &qpdf->items[1] : NULL;
    if (!fields || fields->kind != JsonNode::Array || !objects) {
        ToolError("%s lacks the acroform and qpdf keys (run qpdf --json=2 --json-key=acroform --json-key=qpdf)",
                  jsonPath.c_str());
        return NULL;
    }
    PdfFieldIndex *index = new PdfFieldIndex;
    for (const JsonNode &f : fields->items) {
        const JsonNode *name = f.Get("fullname");
        const JsonNode *page = f.Get("pageposfrom1");
        const JsonNode *annotation = f.Get("annotation");
        const JsonNode *object = annotation ? annotation->Get("object") : NULL;
        const JsonNode *check = f.Get("ischeckbox");
        if (!name || !page || !object || object->kind != JsonNode::String)
            continue;
        const JsonNode *obj = objects->Get(("obj:" + object->text).c_str());
        const JsonNode *value = obj ? obj->Get("value") : NULL;
        const JsonNode *rect = value ? value->Get("/Rect") : NULL;
        if (!rect || rect->kind != JsonNode::Array || rect->items.size() != 4)
            continue;
        double x1 = rect->items[0].number, y1 = rect->items[1].number;
        double x2 = rect->items[2].number, y2 = rect->items[3].number;
        PdfFieldEntry e;
        e.fullName = name->text;
        e.page = (int)page->number;
        e.rect.left = ToPageX(x1 < x2 ? x1 : x2);
        e.rect.right = ToPageX(x1 < x2 ? x2 : x1);
        e.rect.top = ToPageY(y1 > y2 ? y1 : y2);
        e.rect.bottom = ToPageY(y1 > y2 ? y2 : y1);
        e.checkBox = check && check->number != 0;
        // Text field flag bit 25: a comb of /MaxLen boxes (on the widget, or on the field it belongs to).
        const JsonNode *flags = f.Get("fieldflags");
        const JsonNode *maxLength = value->Get("/MaxLen");
        const JsonNode *fieldObject = f.Get("object");
        if (!maxLength && fieldObject && fieldObject->kind == JsonNode::String) {
            const JsonNode *parent = objects->Get(("obj:" + fieldObject->text).c_str());
            const JsonNode *parentValue = parent ? parent->Get("value") : NULL;
            maxLength = parentValue ? parentValue->Get("/MaxLen") : NULL;
        }
        e.combBoxes = flags && maxLength && ((unsigned long)flags->number & (1ul << 24)) ? (int)maxLength->number : 0;
        index->fields.push_back(e);
    }
    return index;
}

void FreePdfFieldIndex(PdfFieldIndex *index)
{
    delete index;
}

int FindPdfField(PdfFieldIndex *index, const char *name, int *pageOut, RECT *rectOut, int *isCheckBoxOut,
                 int *combBoxesOut)
{
    if (!index)
        return ToolError("no fields-json given for pdf=%s", name);
    const PdfFieldEntry *found = NULL;
    int matches = 0;
    std::string suffix = std::string(".") + name;
    for (const PdfFieldEntry &e : index->fields) {
        const std::string &n = e.fullName;
        if (n == name || (n.size() > suffix.size() && n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0)) {
            found = &e;
            matches++;
        }
    }
    if (!matches)
        return ToolError("the PDF has no field %s", name);
    if (matches > 1)
        return ToolError("the PDF field name %s is ambiguous (%d fields); give more of its full name", name, matches);
    *pageOut = found->page;
    *rectOut = found->rect;
    if (isCheckBoxOut)
        *isCheckBoxOut = found->checkBox;
    if (combBoxesOut)
        *combBoxesOut = found->combBoxes;
    return 1;
}
