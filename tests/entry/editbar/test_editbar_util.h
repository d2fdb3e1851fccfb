// Test pages, a requester window and edit requests for the edit bar tests.
#ifndef LEVYLINE_TEST_EDITBAR_UTIL_H
#define LEVYLINE_TEST_EDITBAR_UTIL_H

#include "entry/entry.h"
#include "prepare/prepare.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace editbar_test {

// One field of a test page.
struct FieldDesc {
    const char *seq;
    const char *typeCode;
    const char *length;
    const char *description;
    const char *valueList;
    const char *value;
    const char *seqPrefix;
};

// A page (FormInstance) with its field table; fields get rectangles 100 units high, one below
// the other, and a linear tab order.
inline FormInstance *MakeEditPage(const char *pageKey, int jurisdiction, const FieldDesc *descs, int count)
{
    FormInstance *page = (FormInstance *)MemAlloc(64, sizeof(FormInstance));
    page->kind = PAGE_KIND_FORM;
    page->jurisdiction = (uint8_t)jurisdiction;
    SetFieldText(&page->pageKey, pageKey);
    FieldTable *table = CreateFieldTable(count + 1);
    for (int i = 1; i <= count; i++) {
        const FieldDesc &s = descs[i - 1];
        FieldRecord *f = &table->fields[i];
        SetFieldText(&f->seq, s.seq);
        SetFieldText(&f->typeCode, s.typeCode);
        SetFieldText(&f->length, s.length);
        SetFieldText(&f->description, s.description);
        SetFieldText(&f->valueList, s.valueList);
        SetFieldText(&f->value, s.value);
        SetFieldText(&f->seqPrefix, s.seqPrefix);
        f->rect = (RECT *)MemAlloc(64, sizeof(RECT));
        SetRect(f->rect, 100, 100 * i, 600, 100 * i + 50);
        f->tabLinks[TAB_PREVIOUS] = (uint16_t)(i - 1);
        f->tabLinks[TAB_NEXT] = (uint16_t)(i < count ? i + 1 : 0);
    }
    BuildSortedFieldIndex(table);
    page->fieldTable = table;
    return page;
}

inline int FieldIndex(FormInstance *page, const char *seq)
{
    return FindLayoutField(page->fieldTable, 1, seq, 0);
}

inline FieldRecord *FieldOf(FormInstance *page, const char *seq)
{
    int index = FieldIndex(page, seq);
    return index > 0 ? &page->fieldTable->fields[index] : NULL;
}

inline std::string ValueOf(FormInstance *page, const char *seq)
{
    FieldRecord *f = FieldOf(page, seq);
    return f && f->value ? f->value : "";
}

// Messages the requester window received.
struct RequesterMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string text;   // WM_EDIT_DONE: the request's text
};
inline std::vector<RequesterMessage> &RequesterLog()
{
    static std::vector<RequesterMessage> log;
    return log;
}

inline LRESULT CALLBACK RequesterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAGE_GOTOFIELD || message == WM_EDIT_DONE) {
        RequesterMessage m = {message, wParam, lParam, ""};
        if (message == WM_EDIT_DONE && lParam)
            m.text = ((EditRequest *)lParam)->text;
        RequesterLog().push_back(m);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A visible top-level requester (stands in for the page view) at a fixed screen place. It is
// made once and kept: destroying a visible top-level window costs seconds under Xvfb.
inline HWND CreateRequester()
{
    static HWND window;
    RequesterLog().clear();
    gEditBarFocusEvents = 0;   // the tests drive the bar with messages
    if (window && IsWindow(window))
        return window;
    WNDCLASSA wc;
    memset(&wc, 0, sizeof(wc));
    wc.lpfnWndProc = RequesterProc;
    wc.hInstance = gInstance;
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = "EditBarTestRequester";
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    RegisterClassA(&wc);
    RECT rect = {0, 0, 700, 500};
    AdjustWindowRect(&rect, WS_POPUP | WS_BORDER, FALSE);
    window = CreateWindowExA(0, "EditBarTestRequester", "requester", WS_POPUP | WS_BORDER | WS_VISIBLE, 50, 50,
                             rect.right - rect.left, rect.bottom - rect.top, NULL, NULL, gInstance, NULL);
    SetForegroundWindow(window);
    return window;
}

// Fills a request for field seq of page as the page view does: the field's screen rectangle is
// its page rectangle scaled by 0.5 into the requester's client area.
inline void FillRequest(EditRequest *request, FormInstance *page, const char *seq, HWND requester,
                        int kind = EDIT_REQUESTER_PAGE_VIEW, int mode = EDIT_ENTRY_CLICK)
{
    memset(request, 0, sizeof(*request));
    int index = FieldIndex(page, seq);
    FieldRecord *field = &page->fieldTable->fields[index];
    snprintf(request->text, sizeof(request->text), "%s", field->value ? field->value : "");
    request->field = field;
    request->fieldIndex = index;
    RECT rect = {field->rect->left / 2, field->rect->top / 2, field->rect->right / 2, field->rect->bottom / 2};
    MapWindowPoints(requester, HWND_DESKTOP, (POINT *)&rect, 2);
    request->fieldRect = rect;
    request->caption = "Form 1040";
    request->requester = requester;
    request->requesterKind = (uint16_t)kind;
    request->entryMode = (uint16_t)mode;
    request->page = page;
}

inline HWND PartWindow(EditRequest *request, int part = 0)
{
    return request->partWindows[part];
}

inline EditBarPart *PartOf(EditRequest *request, int part = 0)
{
    EditBarPair *pair = GetEditBarPair(request->partWindows[part]);
    return pair ? pair->part : NULL;
}

// Sends the part check and returns its result.
inline int CheckPart(EditRequest *request, int part = 0)
{
    uint32_t result = 99;
    SendMessageA(PartWindow(request, part), WM_EDITBAR_CHECKPART, 0, (LPARAM)&result);
    return (int)result;
}

// Lets the posted closes and notifications run; 1 when the edit bar is gone.
inline int WaitForEditBarGone(int ms = 300)
{
    for (int waited = 0; waited < ms && gEditBarContainer; waited += 20)
        PumpMessages(20);
    PumpMessages(20);
    return gEditBarContainer == NULL;
}

}  // namespace editbar_test

#endif
