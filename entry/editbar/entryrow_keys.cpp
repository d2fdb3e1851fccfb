// entryrow_keys.cpp - keys, navigation and notifications of an edit bar row: Tab between boxes
// and fields, Enter and Escape, list completion, boxes that move on when full, and the check
// that runs when the focus leaves the row.
#include "entry/editbar/editbar_private.h"
#include "ui/ui.h"

#include <string.h>

static const char kOldProcProperty[] = "LevylineEditBarOldProc";

// The edits' own window procedure (every entry edit and the list's edit box share it).
WNDPROC gEditBarOldEditProc;
int gEditBarFocusEvents = 1;

static int IsDigitKind(int controlKind)
{
    return controlKind == ENTRY_CONTROL_DATE || controlKind == ENTRY_CONTROL_SSN || controlKind == ENTRY_CONTROL_EIN ||
           controlKind == ENTRY_CONTROL_PHONE;
}

// The characters people type between the pieces of a split entry out of habit ("01/05/2024",
// "400-01-2345", "(612) 555-0100"): the boxes draw their own separators, so these never go into a
// box. Typed after a box's digits one moves on to the next box (a month or day of one digit gets
// its leading zero); typed into an empty box (the entry has just moved on by itself) it is
// dropped.
static int IsBoxSeparator(int controlKind, WPARAM ch)
{
    switch (controlKind) {
    case ENTRY_CONTROL_DATE:
        return ch == '/' || ch == '-' || ch == '.';
    case ENTRY_CONTROL_SSN:
    case ENTRY_CONTROL_EIN:
        return ch == '-' || ch == ' ';
    case ENTRY_CONTROL_PHONE:
        return ch == '(' || ch == ')' || ch == '-' || ch == ' ' || ch == '.';
    }
    return 0;
}

static void MoveOnAtSeparator(HWND box, HWND dialog, EditBarPair *pair)
{
    EditBarPart *part = pair->part;
    int id = GetDlgCtrlID(box);
    int last = IDC_EB_EDIT1 + part->boxCount - 1;
    int length = GetWindowTextLengthA(box);
    if (id < IDC_EB_EDIT1 || id >= last || length <= 0)
        return;
    if (part->controlKind == ENTRY_CONTROL_DATE && length == 1 && SendMessageA(box, EM_GETLIMITTEXT, 0, 0) == 2) {
        char text[4] = "0";
        GetWindowTextA(box, text + 1, sizeof(text) - 1);
        SetWindowTextA(box, text);
    }
    part->navigateFrom = box;
    SendMessageA(dialog, WM_NEXTDLGCTL, 0, 0);
}

void SubclassEditBarControl(HWND control)
{
    if (!control || GetPropA(control, kOldProcProperty))
        return;
    WNDPROC old = (WNDPROC)SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)EditBarComboProc);
    SetPropA(control, kOldProcProperty, (HANDLE)old);
    if (!gEditBarOldEditProc)
        gEditBarOldEditProc = old;
}

// The row dialog of an entry control: its parent, or its grandparent for the list's edit box.
static HWND GetRowDialog(HWND control, int *inList)
{
    HWND parent = GetParent(control);
    char name[16] = "";
    GetClassNameA(parent, name, sizeof(name));
    *inList = _stricmp(name, "ComboBox") == 0;
    return *inList ? GetParent(parent) : parent;
}

static int IsAnyLetterOrDigitDown(void)
{
    for (int key = '0'; key <= '9'; key++)
        if (GetKeyState(key) & 0x8000)
            return 1;
    for (int key = 'A'; key <= 'Z'; key++)
        if (GetKeyState(key) & 0x8000)
            return 1;
    return 0;
}

int IsEditBarHeld(const EditRequest *request)
{
    if (!request || !IsModalStateActive())
        return 0;
    HWND owner = request->modeless && request->requester ? GetAncestor(request->requester, GA_ROOT)
                                                         : request->container;
    return owner && IsWindow(owner) && !IsWindowEnabled(owner);
}

// The window whose menu bar Alt and Alt+letter open while a modeless bar has the focus: the
// requester's top window when it has a menu (the main window) and takes input.
static HWND GetEditBarMenuWindow(const EditRequest *request)
{
    if (!request || !request->modeless || !request->requester)
        return NULL;
    HWND root = GetAncestor(request->requester, GA_ROOT);
    return root && GetMenu(root) && IsWindowEnabled(root) ? root : NULL;
}

LRESULT CALLBACK EditBarComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = (WNDPROC)GetPropA(window, kOldProcProperty);
    if (!old)
        old = gEditBarOldEditProc ? gEditBarOldEditProc : DefWindowProcA;
    int inList = 0;
    HWND dialog = GetRowDialog(window, &inList);
    EditBarPair *pair = GetEditBarPair(dialog);
    if (pair && message >= WM_KEYFIRST && message <= WM_KEYLAST && IsEditBarHeld(pair->request))
        return 0;   // a key queued for the bar while a modal frame is open over it
    switch (message) {
    case WM_GETDLGCODE:
        return CallWindowProcA(old, window, message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_SYSCHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
        // The bar is a window of its own without a menu: Alt+letter, Alt alone and F10 go to the
        // menu bar of the window it belongs to (Alt+F opens the main window's File menu), and
        // the chosen command commits the bar first.
        HWND menuWindow = pair ? GetEditBarMenuWindow(pair->request) : NULL;
        if (menuWindow && (message == WM_SYSCHAR || wParam == VK_MENU || wParam == VK_F10))
            return SendMessageA(menuWindow, message, wParam, lParam);
        break;
    }
    case WM_KEYDOWN:
        if (!pair)
            break;
        if (wParam == VK_TAB) {
            // Shift+Tab goes back, unless a letter or digit is held with it (typing fast).
            int backward = (GetKeyState(VK_SHIFT) & 0x8000) && !IsAnyLetterOrDigitDown();
            pair->part->navigateFrom = window;
            SendMessageA(dialog, WM_NEXTDLGCTL, backward ? 1 : 0, 0);
            return 0;
        }
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            pair->part->navigateFrom = window;
            SendMessageA(dialog, WM_KEYDOWN, wParam, lParam);
            return 0;
        }
        if (inList)
            pair->request->lastEditKey = (wParam == VK_DELETE || wParam == VK_BACK) ? (uint32_t)wParam : 0;
        break;
    case WM_KEYUP:
        if (wParam == VK_TAB || wParam == VK_RETURN || wParam == VK_ESCAPE)
            return 0;
        break;
    case WM_CHAR:
        if (wParam == '\t' || wParam == '\r' || wParam == '\n' || wParam == 27)
            return 0;
        if (pair && !inList && IsBoxSeparator(pair->part->controlKind, wParam)) {
            MoveOnAtSeparator(window, dialog, pair);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemovePropA(window, kOldProcProperty);
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)old);
        break;
    }
    return CallWindowProcA(old, window, message, wParam, lParam);
}

// Focuses the row's entry control with its whole text selected.
void FocusEditBarEntry(EditBarPart *part, HWND control)
{
    if (!control)
        control = part->focusControl;
    if (!control || !IsWindow(control))
        return;
    SetFocus(control);
    if (GetDlgCtrlID(control) == IDC_EB_LIST)
        SendMessageA(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    else
        SendMessageA(control, EM_SETSEL, 0, -1);
}

static void CloseDropDown(EditRequest *request, HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_EB_LIST);
    if (list && IsWindowVisible(list) && SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0)) {
        request->dropDownWasOpen = 1;
        SendMessageA(list, CB_SHOWDROPDOWN, FALSE, 0);
    }
}

int NavigateEditBarPart(HWND dialog, EditBarPair *pair, int backward)
{
    EditRequest *request = pair->request;
    EditBarPart *part = pair->part;
    HWND from = part->navigateFrom ? part->navigateFrom : GetFocus();
    part->navigateFrom = NULL;
    if (part->closing || part->committed)
        return 0;
    if (IsSplitEntryControl(part->controlKind) && from && GetParent(from) == dialog) {
        int id = GetDlgCtrlID(from);
        int last = IDC_EB_EDIT1 + part->boxCount - 1;
        if (id >= IDC_EB_EDIT1 && id <= last) {
            int target = backward ? id - 1 : id + 1;
            if (target >= IDC_EB_EDIT1 && target <= last) {
                FocusEditBarEntry(part, GetDlgItem(dialog, target));
                return 1;
            }
        }
    }
    // Leave the field: checked, and on to the next or previous field once the bar is gone.
    CloseDropDown(request, dialog);
    if (!part->valid && !CheckEditBarPart(dialog, pair)) {
        FocusEditBarEntry(part, NULL);
        return 0;
    }
    if (request->modeless) {
        request->notifyWindow = request->requester;
        request->notifyMessage = WM_PAGE_GOTOFIELD;
        request->notifyWParam = backward ? 1 : 0;
        request->notifyLParam = request->fieldIndex;
    }
    if (!CloseEditBarPart(dialog, pair, 1)) {
        request->notifyWindow = NULL;
        return 0;
    }
    return 1;
}

int HandleEditBarKey(HWND dialog, EditBarPair *pair, WPARAM key)
{
    EditRequest *request = pair->request;
    if (key == VK_RETURN) {
        if (gEnterAdvances && request->modeless)
            NavigateEditBarPart(dialog, pair, 0);
        else
            SendMessageA(dialog, WM_CLOSE, 0, 1);
        return TRUE;
    }
    if (key == VK_ESCAPE) {
        pair->part->navigateFrom = NULL;
        request->cancelled = 1;
        request->valid = 0;
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    }
    return FALSE;
}

// Moves the name frame 1104 around the focused name box.
static void FrameNameBox(HWND dialog, HWND box)
{
    HWND frame = GetDlgItem(dialog, IDC_EB_NAMEFRAME);
    if (!frame || !box)
        return;
    RECT rect;
    GetWindowRect(box, &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, (POINT *)&rect, 2);
    SetWindowPos(frame, HWND_BOTTOM, rect.left - 1, rect.top - 1, rect.right - rect.left + 2,
                 rect.bottom - rect.top + 2, SWP_NOACTIVATE);
    ShowWindow(frame, SW_SHOWNA);
}

static void OnEntryFocus(HWND dialog, EditBarPair *pair, HWND control)
{
    EditRequest *request = pair->request;
    if (request->partCount > 1 && request->container)
        ActivateEditBarPart(request->container, (int)pair->part->index);
    if (pair->part->controlKind == ENTRY_CONTROL_NAME2 || pair->part->controlKind == ENTRY_CONTROL_NAME3)
        FrameNameBox(dialog, control);
}

static void OnEditChange(HWND dialog, EditBarPair *pair, int id)
{
    EditRequest *request = pair->request;
    EditBarPart *part = pair->part;
    if (request->settingUp)
        return;
    part->edited = 1;
    part->valid = 0;
    HWND box = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(box);
    int limit = (int)SendMessageA(box, EM_GETLIMITTEXT, 0, 0);
    if (length <= 0 || length < limit)
        return;
    if (IsDigitKind(part->controlKind)) {
        // A full box with the caret at its end moves on to the next box.
        DWORD end = 0;
        SendMessageA(box, EM_GETSEL, 0, (LPARAM)&end);
        if ((int)end >= length && id < IDC_EB_EDIT1 + part->boxCount - 1)
            PostMessageA(box, WM_KEYDOWN, VK_TAB, 0);
    } else if (!IsSplitEntryControl(part->controlKind)) {
        if (part->advanceWhenFull)
            PostMessageA(box, WM_KEYDOWN, VK_TAB, 0);
        else if (part->commitWhenFull)
            PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    }
}

// Completion as you type: the first item that begins with the typed text, its rest selected.
static void CompleteListEntry(HWND combo, EditRequest *request)
{
    static int completing;
    if (completing || request->lastEditKey == VK_DELETE || request->lastEditKey == VK_BACK)
        return;
    char typed[EDIT_TEXT_SIZE];
    GetWindowTextA(combo, typed, sizeof(typed));
    if (!typed[0])
        return;
    LRESULT index = SendMessageA(combo, CB_FINDSTRING, (WPARAM)-1, (LPARAM)typed);
    if (index == CB_ERR)
        return;
    completing = 1;
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(strlen(typed), -1));
    completing = 0;
}

static int IsCursorOverRow(HWND dialog, EditRequest *request, HWND combo)
{
    POINT point;
    GetCursorPos(&point);
    HWND under = WindowFromPoint(point);
    if (!under)
        return 0;
    COMBOBOXINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    GetComboBoxInfo(combo, &info);
    return under == dialog || IsChild(dialog, under) || (info.hwndList && under == info.hwndList) ||
           under == request->container || (request->container && IsChild(request->container, under));
}

static void OnListCloseUp(HWND dialog, EditBarPair *pair, HWND combo)
{
    EditRequest *request = pair->request;
    if (request->dropDownWasOpen) {
        request->dropDownWasOpen = 0;
        return;
    }
    if (gEditBarFocusEvents && !IsCursorOverRow(dialog, request, combo)) {
        if (request->requesterKind == EDIT_REQUESTER_GRID && request->requester) {
            POINT point;
            GetCursorPos(&point);
            HWND grid = GetDlgItem(request->requester, 1126);
            HWND under = WindowFromPoint(point);
            if (grid && (under == grid || IsChild(grid, under))) {
                NMHDR header;
                header.hwndFrom = grid;
                header.idFrom = 1126;
                header.code = NM_CLICK;
                SendMessageA(request->requester, WM_NOTIFY, 1126, (LPARAM)&header);
            }
        }
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return;
    }
    if (request->entryMode == EDIT_ENTRY_KEYBOARD && SendMessageA(combo, CB_GETCURSEL, 0, 0) != CB_ERR)
        PostMessageA(dialog, WM_NEXTDLGCTL, 0, 0);
}

int HandleEditBarCommand(HWND dialog, EditBarPair *pair, WPARAM wParam, LPARAM lParam)
{
    EditRequest *request = pair->request;
    EditBarPart *part = pair->part;
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    HWND control = (HWND)lParam;
    if (part->closing || part->committed)
        return FALSE;

    if (id == IDC_EB_STMT && code == BN_CLICKED) {
        if (!part->valid && !CheckEditBarPart(dialog, pair))
            return TRUE;
        OpenFieldStatement(request, part);
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    }
    if (id == IDC_EB_LIST) {
        switch (code) {
        case CBN_SETFOCUS:
            OnEntryFocus(dialog, pair, control);
            if (GetWindowTextLengthA(control) == 0 && request->focusControl == control && !request->settingUp)
                SendMessageA(control, CB_SHOWDROPDOWN, TRUE, 0);
            break;
        case CBN_SELENDOK:
            if (!request->settingUp) {
                part->edited = 1;
                part->valid = 0;
                PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
            }
            break;
        case CBN_SELCHANGE:
        case CBN_EDITCHANGE:
            if (!request->settingUp) {
                part->edited = 1;
                part->valid = 0;
            }
            break;
        case CBN_EDITUPDATE:
            if (!request->settingUp)
                CompleteListEntry(control, request);
            break;
        case CBN_CLOSEUP:
            if (!request->settingUp)
                OnListCloseUp(dialog, pair, control);
            break;
        case CBN_KILLFOCUS:
            PostMessageA(dialog, WM_EDITBAR_FOCUSLOST, 0, 0);
            break;
        }
        return TRUE;
    }
    if (id >= IDC_EB_EDIT1 && id <= IDC_EB_EDIT3) {
        switch (code) {
        case EN_SETFOCUS:
            OnEntryFocus(dialog, pair, control);
            break;
        case EN_CHANGE:
            OnEditChange(dialog, pair, id);
            break;
        case EN_MAXTEXT:
            if (!IsSplitEntryControl(part->controlKind))
                MessageBeep(0);
            break;
        case EN_KILLFOCUS:
            PostMessageA(dialog, WM_EDITBAR_FOCUSLOST, 0, 0);
            break;
        }
        return TRUE;
    }
    return FALSE;
}

static int IsDialogWindow(HWND window)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    return strcmp(name, "#32770") == 0;
}

int HandleEditBarFocusLost(HWND dialog, EditBarPair *pair)
{
    EditRequest *request = pair->request;
    EditBarPart *part = pair->part;
    if (!gEditBarFocusEvents || part->closing || part->committed || request->checking || request->settingUp)
        return 0;
    HWND focus = GetFocus();
    HWND container = request->container;
    if (focus) {
        if (focus == dialog || IsChild(dialog, focus))
            return 0;
        for (int i = 0; i < EDITBAR_MAX_PARTS; i++) {
            HWND other = request->partWindows[i];
            if (other && (focus == other || IsChild(other, focus)))
                return 0;
        }
        if (container && (focus == container || IsChild(container, focus))) {
            // The container (or a choice box) took it: a list takes it back unless a choice is
            // being clicked; a modal bar's edit takes it back when the click is on the bar.
            if (part->controlKind == ENTRY_CONTROL_LIST) {
                if (!IsCursorOnPartChoice(container))
                    FocusEditBarEntry(part, NULL);
            } else if (!request->modeless) {
                POINT point;
                GetCursorPos(&point);
                HWND under = WindowFromPoint(point);
                if (under && under != container && IsChild(container, under))
                    FocusEditBarEntry(part, NULL);
            }
            return 0;
        }
        HWND root = GetAncestor(focus, GA_ROOT);
        if (root && !IsWindowEnabled(root))
            return 0;   // a disabled window (the owner of a modal bar) takes no entry from the user
        HWND requesterRoot = request->requester ? GetAncestor(request->requester, GA_ROOT) : NULL;
        if (root && root != requesterRoot && IsDialogWindow(root) && IsWindowVisible(root))
            return 0;   // a dialog in front of the bar, such as a message box
    }
    if (request->cancelled)
        return 0;
    if (!part->valid && !CheckEditBarPart(dialog, pair)) {
        FocusEditBarEntry(part, NULL);
        return 0;
    }
    PostMessageA(dialog, WM_CLOSE, 0, 1);
    return 1;
}
