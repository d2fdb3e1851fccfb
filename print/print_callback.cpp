// print_callback.cpp - the print dialog's callback object: it fills the page-group combo box of
// the "PRINTDLGEX" template, keeps the chosen group and shows the single item being printed.
#include "print/print.h"

#include <string.h>

// The interface id of IPrintDialogCallback, spelled out so no GUID library is needed.
static const IID kIidPrintDialogCallback = {0x5852a2c3, 0x6530, 0x11d1, {0xb6, 0xa3, 0x00, 0x00, 0xf8, 0x75, 0x7b, 0xf9}};
static const IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

CPrintDialogEx::CPrintDialogEx(HWND ownerWindow, const char *groupList, const char *caption)
    : references(0), owner(ownerWindow), callback(&callbackObject), callbackObject(groupList, caption)
{
}

STDMETHODIMP CPrintDialogEx::QueryInterface(REFIID iid, void **out)
{
    if (!out)
        return E_INVALIDARG;
    if (IsEqualIID(iid, kIidUnknown)) {
        AddRef();
        *out = static_cast<IUnknown *>(this);
        return S_OK;
    }
    if (IsEqualIID(iid, kIidPrintDialogCallback) && callback) {
        callback->AddRef();
        *out = static_cast<IPrintDialogCallback *>(callback);
        return S_OK;
    }
    *out = 0;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CPrintDialogEx::AddRef()
{
    references++;
    return 0;
}

STDMETHODIMP_(ULONG) CPrintDialogEx::Release()
{
    references--;
    return 0;
}

CPrintDialogEx::CPrintDialogCallback::CPrintDialogCallback(const char *list, const char *itemCaption)
    : chosenGroup(0), caption(itemCaption), references(0), dialog(0), groupList(list)
{
}

STDMETHODIMP CPrintDialogEx::CPrintDialogCallback::QueryInterface(REFIID iid, void **out)
{
    if (!out)
        return E_INVALIDARG;
    if (IsEqualIID(iid, kIidUnknown) || IsEqualIID(iid, kIidPrintDialogCallback)) {
        AddRef();
        *out = static_cast<IPrintDialogCallback *>(this);
        return S_OK;
    }
    *out = 0;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CPrintDialogEx::CPrintDialogCallback::AddRef()
{
    references++;
    return 0;
}

STDMETHODIMP_(ULONG) CPrintDialogEx::CPrintDialogCallback::Release()
{
    references--;
    return 0;
}

STDMETHODIMP CPrintDialogEx::CPrintDialogCallback::InitDone()
{
    if (dialog) {
        HWND combo = GetDlgItem(dialog, IDC_PRINT_GROUP_COMBO);
        if (caption) {
            SetDlgItemTextA(dialog, IDC_PRINT_ALL, caption);
            EnableWindow(combo, FALSE);
        }
        if (combo && !IsWindowEnabled(combo))
            EnableWindow(GetDlgItem(dialog, IDC_PRINT_GROUP), FALSE);
    }
    return S_FALSE;
}

STDMETHODIMP CPrintDialogEx::CPrintDialogCallback::SelectionChange()
{
    return S_FALSE;
}

// Adds each ';'-separated name of the list to the combo box.
static int FillGroupCombo(HWND combo, const char *list)
{
    int added = 0;
    const char *name = list;
    while (name && *name) {
        const char *end = strchr(name, ';');
        size_t length = end ? (size_t)(end - name) : strlen(name);
        char text[128];
        if (length >= sizeof text)
            length = sizeof text - 1;
        memcpy(text, name, length);
        text[length] = 0;
        if (text[0]) {
            SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
            added++;
        }
        name = end ? end + 1 : 0;
    }
    return added;
}

STDMETHODIMP CPrintDialogEx::CPrintDialogCallback::HandleMessage(HWND window, UINT message, WPARAM wParam,
                                                                 LPARAM lParam, LRESULT *result)
{
    if (result)
        *result = 0;
    switch (message) {
    case WM_INITDIALOG: {
        dialog = window;
        HWND combo = GetDlgItem(window, IDC_PRINT_GROUP_COMBO);
        if (!combo)
            break;
        if (groupList && groupList[0] && FillGroupCombo(combo, groupList) > 0) {
            SendMessageA(combo, CB_SETCURSEL, 0, 0);
        } else {
            SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "No selectable pages detected");
            SendMessageA(combo, CB_SETCURSEL, 0, 0);
            EnableWindow(combo, FALSE);
        }
        break;
    }
    case WM_DESTROY: {
        HWND combo = GetDlgItem(window, IDC_PRINT_GROUP_COMBO);
        if (combo)
            chosenGroup = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PRINT_GROUP_COMBO && HIWORD(wParam) == CBN_SELENDOK)
            CheckRadioButton(window, IDC_PRINT_ALL, IDC_PRINT_PAGES, IDC_PRINT_GROUP);
        break;
    }
    return S_FALSE;
}
