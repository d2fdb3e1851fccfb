// build.cpp - qvtool build: a FormPak or a return file from its text description
// (format: samples/README.md).
#include "tools/qvtool/qvtool.h"
#include "prepare/prepare.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>

// ---- description lines ----

struct Token {
    std::string key;     // "key" of key=value, else empty
    std::string value;
};

struct Line {
    int number;
    std::vector<Token> tokens;
};

// Reads a value: a quoted text (with \" \\ \n \xNN) or a run of non-blank characters.
static int ReadValue(const char *&p, std::string *out)
{
    if (*p == '"') {
        p++;
        while (*p && *p != '"') {
            if (*p == '\\' && p[1]) {
                p++;
                if (*p == 'n') {
                    out->push_back('\n');
                    p++;
                } else if (*p == 'x' && p[1] && p[2]) {
                    char hex[3] = {p[1], p[2], 0};
                    out->push_back((char)strtoul(hex, NULL, 16));
                    p += 3;
                } else {
                    out->push_back(*p++);
                }
            } else {
                out->push_back(*p++);
            }
        }
        if (*p != '"')
            return 0;
        p++;
        return 1;
    }
    while (*p && *p != ' ' && *p != '\t')
        out->push_back(*p++);
    return 1;
}

static std::string Substitute(const std::string &text, const std::map<std::string, std::string> &vars)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '$' && i + 1 < text.size() && text[i + 1] == '{') {
            size_t end = text.find('}', i);
            if (end != std::string::npos) {
                auto it = vars.find(text.substr(i + 2, end - i - 2));
                out += it != vars.end() ? it->second : "";
                i = end;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

static int ParseDescription(const std::vector<uint8_t> &bytes, const std::map<std::string, std::string> &vars,
                            const std::string &folder, int depth, std::vector<Line> *lines)
{
    std::string all(bytes.begin(), bytes.end());
    size_t at = 0;
    int number = 0;
    while (at < all.size()) {
        size_t end = all.find('\n', at);
        if (end == std::string::npos)
            end = all.size();
        std::string text = all.substr(at, end - at);
        at = end + 1;
        number++;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        const char *p = text.c_str();
        while (*p == ' ' || *p == '\t')
            p++;
        if (!*p || *p == '#')
            continue;
        Line line;
        line.number = number;
        while (*p) {
            Token t;
            const char *start = p;
            while (*p && *p != ' ' && *p != '\t' && *p != '=' && *p != '"')
                p++;
            if (*p == '=' && p > start) {
                t.key.assign(start, p);
                p++;
            } else {
                p = start;
            }
            if (!ReadValue(p, &t.value))
                return ToolError("line %d: unterminated text", number);
            t.value = Substitute(t.value, vars);
            line.tokens.push_back(t);
            while (*p == ' ' || *p == '\t')
                p++;
        }
        if (!line.tokens.empty() && line.tokens[0].key.empty() && line.tokens[0].value == "include") {
            // include "FILE": the lines of another description file (relative to this one's folder)
            std::vector<uint8_t> included;
            if (line.tokens.size() < 2 || depth > 8)
                return ToolError("line %d: include \"FILE\" (at most 8 deep)", number);
            std::string path = ResolvePath(folder, line.tokens[1].value);
            if (!LoadFileBytes(path, &included) || !ParseDescription(included, vars, folder, depth + 1, lines))
                return ToolError("line %d: in %s", number, path.c_str());
            continue;
        }
        lines->push_back(line);
    }
    return 1;
}

static char *CopyText(const std::string &text)
{
    char *copy = (char *)MemAlloc(64, text.size() + 1);
    memcpy(copy, text.data(), text.size());
    return copy;
}

// ---- FormPaks ----

struct PageBuild {
    std::string name;
    int number = 1;
    int jurisdiction = 100;
    int flags = 0;
    int copies = 1;
    uint16_t order[2] = {0, 0};
    int source = IMAGE_SOURCE_PCL;
    int pdfPage = 0;
    std::vector<uint8_t> image;
    std::vector<FieldRecord> fields;      // [0] is the dummy record
    std::vector<int> explicitTab;         // 1 when the field's tab links were given
    std::vector<int> combBoxes;           // the PDF field's box count when it is a comb, else 0
    std::vector<std::string> boxGroups;   // boxes=: how its boxes come in groups ("3-2-4"), or ""
};

static int ParseRect(const std::string &text, RECT *r)
{
    long v[4];
    if (sscanf(text.c_str(), "%ld,%ld,%ld,%ld", &v[0], &v[1], &v[2], &v[3]) != 4)
        return 0;
    r->left = v[0];
    r->top = v[1];
    r->right = v[2];
    r->bottom = v[3];
    return 1;
}

static int AddField(PageBuild *page, const Line &line, PdfFieldIndex *pdf)
{
    if (line.tokens.size() < 2 || !line.tokens[1].key.empty())
        return ToolError("line %d: field needs its sequence number", line.number);
    FieldRecord f;
    memset(&f, 0, sizeof f);
    f.seq = CopyText(line.tokens[1].value);
    int tabGiven = 0, combBoxes = 0;
    std::string boxGroups;
    for (size_t i = 2; i < line.tokens.size(); i++) {
        const Token &t = line.tokens[i];
        if (t.key == "line")
            f.line = CopyText(t.value);
        else if (t.key == "desc")
            f.description = CopyText(t.value);
        else if (t.key == "type")
            f.typeCode = CopyText(t.value);
        else if (t.key == "len")
            f.length = CopyText(t.value);
        else if (t.key == "list" || t.key == "formula")
            f.valueList = CopyText(t.value);
        else if (t.key == "value")
            f.value = CopyText(t.value);
        else if (t.key == "prefix")
            f.seqPrefix = CopyText(t.value);
        else if (t.key == "group")
            f.groupLabel = CopyText(t.value);
        else if (t.key == "boxes")
            boxGroups = t.value;
        else if (t.key == "rect" || t.key == "pdf") {
            RECT r;
            if (t.key == "rect") {
                if (!ParseRect(t.value, &r))
                    return ToolError("line %d: rect=left,top,right,bottom", line.number);
            } else {
                int pdfPage = 0;
                if (!FindPdfField(pdf, t.value.c_str(), &pdfPage, &r, NULL, &combBoxes))
                    return ToolError("line %d: see above", line.number);
                int want = page->pdfPage ? page->pdfPage : page->number;
                if (pdfPage != want)
                    return ToolError("line %d: PDF field %s is on page %d, not %d", line.number, t.value.c_str(),
                                     pdfPage, want);
            }
            f.rect = (RECT *)MemAlloc(64, sizeof(RECT));
            *f.rect = r;
        } else if (t.key == "tab") {
            unsigned a, b;
            if (sscanf(t.value.c_str(), "%u,%u", &a, &b) != 2)
                return ToolError("line %d: tab=previous,next", line.number);
            f.tabLinks[0] = (uint16_t)a;
            f.tabLinks[1] = (uint16_t)b;
            tabGiven = 1;
        } else {
            return ToolError("line %d: unknown field key %s", line.number, t.key.c_str());
        }
    }
    page->fields.push_back(f);
    page->explicitTab.push_back(tabGiven);
    page->combBoxes.push_back(combBoxes);
    page->boxGroups.push_back(boxGroups);
    return 1;
}

// Tab order: the fields with a rectangle, in description order, unless given.
static void LinkTabOrder(PageBuild *page)
{
    int previous = 0;
    for (size_t i = 1; i < page->fields.size(); i++) {
        if (page->explicitTab[i] || !page->fields[i].rect)
            continue;
        page->fields[i].tabLinks[TAB_PREVIOUS] = (uint16_t)previous;
        if (previous && !page->explicitTab[previous])
            page->fields[previous].tabLinks[TAB_NEXT] = (uint16_t)i;
        previous = (int)i;
    }
}

static void FreePageFields(PageBuild *page)
{
    for (FieldRecord &f : page->fields) {
        char **words = &f.seq;
        for (int w = 0; w < 10; w++)
            words[w] = (char *)MemFree(words[w]);
        f.rect = (RECT *)MemFree(f.rect);
    }
}

static int SetPageImage(PageBuild *page, const Line &line, const std::string &folder,
                        const std::map<std::string, std::string> &vars)
{
    if (line.tokens.size() < 3)
        return ToolError("line %d: image pcl|pdf|bmp FILE", line.number);
    const std::string &kind = line.tokens[1].value;
    std::string path = ResolvePath(folder, line.tokens[2].value);
    if (kind == "pcl") {
        page->source = IMAGE_SOURCE_PCL;
        return LoadFileBytes(path, &page->image);
    }
    if (kind == "pdf" || kind == "ps") {
        // The page's rendition by Ghostscript's ljet2p device: <name>-<page>.pcl in PCLDIR.
        if (line.tokens.size() < 4)
            return ToolError("line %d: image pdf|ps FILE PAGE", line.number);
        page->pdfPage = atoi(line.tokens[3].value.c_str());
        std::string base = line.tokens[2].value;
        size_t slash = base.find_last_of("/\\");
        if (slash != std::string::npos)
            base = base.substr(slash + 1);
        size_t dot = base.find_last_of('.');
        if (dot != std::string::npos)
            base.resize(dot);
        auto it = vars.find("PCLDIR");
        std::string pclFolder = it != vars.end() ? it->second : folder;
        std::string pcl = ResolvePath(pclFolder, base + "-" + line.tokens[3].value + ".pcl");
        page->source = IMAGE_SOURCE_PCL;
        if (!LoadFileBytes(pcl, &page->image))
            return ToolError("line %d: render the page first: gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ljet2p -r300 "
                             "-sPAPERSIZE=letter -sOutputFile=%s-%%d.pcl %s",
                             line.number, base.c_str(), line.tokens[2].value.c_str());
        return 1;
    }
    if (kind == "bmp") {
        page->source = IMAGE_SOURCE_BMP;
        int crop = line.tokens.size() > 3 && line.tokens[3].value == "crop";
        return MakeBitmapPageBlock(path, crop, &page->image);
    }
    return ToolError("line %d: unknown image kind %s", line.number, kind.c_str());
}

static int BuildFormPak(const std::vector<Line> &lines, const std::string &folder, const char *output,
                        const std::map<std::string, std::string> &vars)
{
    std::vector<std::string> header;
    std::vector<PageBuild> pages;
    PdfFieldIndex *pdf = NULL;
    int year = PROGRAM_TAX_YEAR, method = RECORD_METHOD_XOR;
    int ok = 1;
    for (size_t i = 1; ok && i < lines.size(); i++) {
        const Line &line = lines[i];
        const std::string &word = line.tokens[0].value;
        PageBuild *page = pages.empty() ? NULL : &pages.back();
        std::string arg = line.tokens.size() > 1 ? line.tokens[1].value : "";
        if (word == "year")
            year = atoi(arg.c_str());
        else if (word == "method")
            method = atoi(arg.c_str());
        else if (word == "header")
            header.push_back(arg);
        else if (word == "fields-json") {
            FreePdfFieldIndex(pdf);
            pdf = LoadPdfFieldIndex(ResolvePath(folder, arg));
            ok = pdf != NULL;
        } else if (word == "page") {
            if (line.tokens.size() < 3)
                ok = ToolError("line %d: page \"Form Name\" NUMBER", line.number);
            pages.emplace_back();
            pages.back().name = arg;
            pages.back().number = line.tokens.size() > 2 ? atoi(line.tokens[2].value.c_str()) : 1;
            pages.back().fields.resize(1);
            memset(&pages.back().fields[0], 0, sizeof(FieldRecord));
            pages.back().explicitTab.push_back(0);
            pages.back().combBoxes.push_back(0);
            pages.back().boxGroups.push_back("");
        } else if (!page) {
            ok = ToolError("line %d: %s before the first page", line.number, word.c_str());
        } else if (word == "jurisdiction")
            page->jurisdiction = atoi(arg.c_str());
        else if (word == "copies")
            page->copies = atoi(arg.c_str());
        else if (word == "order") {
            page->order[0] = (uint16_t)atoi(arg.c_str());
            page->order[1] = (uint16_t)(line.tokens.size() > 2 ? atoi(line.tokens[2].value.c_str()) : 0);
        } else if (word == "flags") {
            for (size_t k = 1; k < line.tokens.size(); k++) {
                const std::string &flag = line.tokens[k].value;
                if (flag == "main")
                    page->flags |= PAGE_FLAG_MAIN_FORM;
                else if (flag == "landscape")
                    page->flags |= PAGE_FLAG_LANDSCAPE;
                else
                    ok = ToolError("line %d: unknown flag %s", line.number, flag.c_str());
            }
        } else if (word == "image")
            ok = SetPageImage(page, line, folder, vars);
        else if (word == "field")
            ok = AddField(page, line, pdf);
        else
            ok = ToolError("line %d: unknown statement %s", line.number, word.c_str());
    }
    if (ok && (header.empty() || pages.empty()))
        ok = ToolError("a FormPak needs a header and at least one page");
    std::vector<FormPakPageDesc> descs;
    for (PageBuild &page : pages) {
        if (!ok)
            break;
        if (page.image.empty()) {
            ok = ToolError("page %s %d has no image", page.name.c_str(), page.number);
            break;
        }
        LinkTabOrder(&page);
        if (!FitFieldsInsideCells(page.name.c_str(), page.number, page.source, page.flags, page.image, &page.fields,
                                  page.combBoxes, page.boxGroups)) {
            ok = 0;
            break;
        }
        FormPakPageDesc s;
        memset(&s, 0, sizeof s);
        s.formName = page.name.c_str();
        s.pageNumber = page.number;
        s.maxCopies = page.copies;
        s.jurisdiction = page.jurisdiction;
        s.flags = page.flags;
        s.imageSource = page.source;
        s.image = page.image.data();
        s.imageLength = (uint32_t)page.image.size();
        s.fields = page.fields.data();
        s.fieldCount = (int)page.fields.size();
        s.orderKey[0] = page.order[0];
        s.orderKey[1] = page.order[1];
        descs.push_back(s);
    }
    if (ok) {
        std::vector<const char *> texts;
        for (const std::string &h : header)
            texts.push_back(h.c_str());
        ok = WriteFormPak(output, (uint16_t)year, texts.data(), (int)texts.size(), descs.data(), (int)descs.size(),
                          method);
        if (!ok)
            ToolError("%s was not written (a page or field was refused)", output);
    }
    for (PageBuild &page : pages)
        FreePageFields(&page);
    FreePdfFieldIndex(pdf);
    return ok;
}

// ---- return files ----

struct LoadedFormPak {
    std::string name;
    FileRecord record;
};

static int BuildReturn(const std::vector<Line> &lines, const std::string &formPakFolder, const char *output)
{
    OpenReturn r;
    InitOpenReturn(&r);
    std::vector<LoadedFormPak *> paks;
    std::vector<FormInstance *> pages;
    std::string notes[3];
    int ok = 1;
    gReturnLoading = 1;
    for (size_t i = 1; ok && i < lines.size(); i++) {
        const Line &line = lines[i];
        const std::string &word = line.tokens[0].value;
        std::string arg = line.tokens.size() > 1 ? line.tokens[1].value : "";
        std::string arg2 = line.tokens.size() > 2 ? line.tokens[2].value : "";
        if (word == "year") {
            continue;
        } else if (word == "item") {
            if (!ApplyFieldEditRules(arg.c_str(), arg2.c_str(), &r, NULL))
                ok = ToolError("line %d: the taxpayer item %s refuses \"%s\"", line.number, arg.c_str(), arg2.c_str());
        } else if (word == "text") {
            // text OFFSET SIZE "value": a member of the return record by its byte position
            int offset = atoi(arg.c_str()), size = atoi(arg2.c_str());
            if (line.tokens.size() < 4 || !SetReturnText(&r, offset, size, line.tokens[3].value.c_str()))
                ok = ToolError("line %d: text OFFSET SIZE \"value\"", line.number);
        } else if (word == "byte") {
            int offset = atoi(arg.c_str());
            if (offset < 0 || offset >= OPEN_RETURN_SIZE)
                ok = ToolError("line %d: byte OFFSET VALUE", line.number);
            else
                r.bytes[offset] = (uint8_t)strtoul(arg2.c_str(), NULL, 0);
        } else if (word == "note") {
            int which = arg == "irs" ? 0 : arg == "self" ? 1 : arg == "regulatory" ? 2 : -1;
            if (which < 0)
                ok = ToolError("line %d: note irs|self|regulatory \"text\"", line.number);
            else
                notes[which] = arg2;
        } else if (word == "form") {
            LoadedFormPak *pak = NULL;
            for (LoadedFormPak *p : paks)
                if (_stricmp(p->name.c_str(), arg.c_str()) == 0)
                    pak = p;
            if (!pak) {
                pak = new LoadedFormPak;
                pak->name = arg;
                paks.push_back(pak);
                if (!ReadDataFile(ResolvePath(formPakFolder, arg).c_str(), 0, &pak->record, 0)) {
                    ok = ToolError("line %d: FormPak %s not read", line.number, arg.c_str());
                    break;
                }
            }
            int index = FindPageInFileRecord(&pak->record, arg2.c_str());
            if (index < 0) {
                ok = ToolError("line %d: %s has no page %s", line.number, arg.c_str(), arg2.c_str());
                break;
            }
            int copy = 1;
            for (FormInstance *p : pages)
                if (_stricmp(p->pageKey, arg2.c_str()) == 0)
                    copy++;
            // The return names its FormPak by file name; the program finds it in its FormPak folder.
            FormInstance *page = CreatePageRecord(&pak->record, index, arg.c_str(), copy);
            if (!page) {
                ok = ToolError("line %d: page %s not made", line.number, arg2.c_str());
                break;
            }
            pages.push_back(page);
        } else if (word == "value" || word == "second") {
            if (pages.empty()) {
                ok = ToolError("line %d: %s before the first form", line.number, word.c_str());
                break;
            }
            FieldTable *t = pages.back()->fieldTable;
            int index = FindLayoutField(t, 1, arg.c_str(), 0);
            if (!index)
                ok = ToolError("line %d: %s has no field %s", line.number, pages.back()->pageKey, arg.c_str());
            else if (word == "value")
                SetFieldText(&t->fields[index].value, arg2.c_str());
            else
                SetFieldText(&t->fields[index].second, arg2.c_str());
        } else {
            ok = ToolError("line %d: unknown statement %s", line.number, word.c_str());
        }
    }
    if (ok) {
        const char *noteTexts[3] = {notes[0].c_str(), notes[1].c_str(), notes[2].c_str()};
        ok = WriteReturnFile(output, &r, pages.data(), (int)pages.size(), noteTexts);
    }
    for (FormInstance *p : pages)
        FreeFormInstance(p);
    for (LoadedFormPak *p : paks) {
        ReleaseFileRecord(&p->record, NULL);
        delete p;
    }
    gReturnLoading = 0;
    return ok;
}

int RunBuild(const char *description, const char *output, const char *formPakFolder)
{
    std::vector<uint8_t> bytes;
    if (!LoadFileBytes(description, &bytes))
        return 0;
    std::string folder = description;
    size_t slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? "" : folder.substr(0, slash);
    // Variables: the environment's QVTOOL_* values, e.g. QVTOOL_PCLDIR -> ${PCLDIR}.
    std::map<std::string, std::string> vars;
    const char *names[] = {"PCLDIR", "WORK", "IRS", "SAMPLES"};
    for (const char *n : names) {
        char value[MAX_PATH];
        std::string env = std::string("QVTOOL_") + n;
        DWORD got = GetEnvironmentVariableA(env.c_str(), value, sizeof value);
        if (got && got < sizeof value)
            vars[n] = ToWindowsPath(value);
    }
    std::vector<Line> lines;
    if (!ParseDescription(bytes, vars, folder, 0, &lines))
        return 0;
    if (lines.empty())
        return ToolError("%s is empty", description);
    const std::string &kind = lines[0].tokens[0].value;
    if (kind == "formpak")
        return BuildFormPak(lines, folder, output, vars);
    if (kind == "return") {
        std::string paks = formPakFolder ? formPakFolder : std::string(output);
        if (!formPakFolder) {
            size_t s = paks.find_last_of("\\/");
            paks = s == std::string::npos ? "" : paks.substr(0, s);
        }
        return BuildReturn(lines, paks, output);
    }
    return ToolError("%s: the first statement must be formpak or return", description);
}
