// Field buttons: the drop-down menus (items "caption,value" separated by ';') and where a
// chosen value goes.
#include "pages/fieldbuttons_private.h"
#include "ui/ui.h"

#include <string.h>

#define BUTTON_MENU_MAX_ITEMS 32
#define BUTTON_MENU_VALUE_SIZE 64

int GetDropDownMenuItem(const char *list, int index, char *caption, int captionSize, char *value, int valueSize)
{
    if (captionSize > 0)
        caption[0] = 0;
    if (valueSize > 0)
        value[0] = 0;
    if (!list || index < 0)
        return 0;
    const char *p = list;
    for (int i = 0; i < index; i++) {
        p = strchr(p, ';');
        if (!p)
            return 0;
        p++;
    }
    const char *end = strchr(p, ';');
    int length = end ? (int)(end - p) : (int)strlen(p);
    const char *comma = (const char *)memchr(p, ',', (size_t)length);
    int captionLength = comma ? (int)(comma - p) : length;
    if (captionLength <= 0)
        return 0;
    lstrcpynA(caption, p, (captionLength + 1 < captionSize ? captionLength + 1 : captionSize));
    if (strcmp(caption, "<sep>") == 0)
        return 1;
    if (!comma || comma + 1 >= p + length)
        return 0;   // an item without its value
    int valueLength = (int)(p + length - comma - 1);
    lstrcpynA(value, comma + 1, (valueLength + 1 < valueSize ? valueLength + 1 : valueSize));
    return 1;
}

// 1 when the federal folder's record holds that explanation ("PN", "EE", "RE").
static int HasReturnExplanation(const char *value)
{
    FormGroupNode *folder = gTreeFederalFolder ? (FormGroupNode *)GetTreeItemForm(gTreeFederalFolder) : NULL;
    if (!folder || folder->kind != TREE_KIND_FOLDER)
        return 0;
    const char *text = !strcmp(value, "PN") ? folder->noteToIrs
                       : !strcmp(value, "EE") ? folder->noteToSelf
                       : !strcmp(value, "RE") ? folder->regulatoryExplanation : NULL;
    return text && text[0];
}

int ShowExplanationDialog(const char *value, FieldTable *fieldTable, int action)
{
    if (!value)
        return 0;
    if (strlen(value) != 2) {
        int index = fieldTable ? FindLayoutField(fieldTable, 1, value, 0) : 0;
        if (index <= 0 || !gPageViewWindow)
            return 0;
        PostMessageA(gPageViewWindow, WM_COMMAND, MAKEWPARAM(0xFFFF, BN_CLICKED),
                     (LPARAM)&fieldTable->fields[index]);
        return 1;
    }
    int kind = !strcmp(value, "PN") ? 1 : !strcmp(value, "EE") ? 2 : !strcmp(value, "RE") ? 3 : 0;
    const WindowCallbacks &up = gWindowCallbacks;
    if (kind)
        return up.openReturnExplanation ? (int)up.openReturnExplanation(gMainWindow, kind) : 0;
    if (!strcmp(value, "TI"))
        return up.showEfileInfoSheet ? up.showEfileInfoSheet(gMainWindow, action == 241 ? 1044 : 0) : 0;
    if (!strcmp(value, "EO"))
        return up.showEfileInfoSheet ? up.showEfileInfoSheet(gMainWindow, 1) : 0;
    return 0;
}

static int IsAlwaysMenu(int action)
{
    return action == 227 || action == 233 || action == 235 || action == 239 || action == 242 || action == 262;
}

// The menu of the button's list; returns the chosen item (1-based) or 0.
static int TrackButtonMenu(HWND pageView, int action, const char *list, char values[][BUTTON_MENU_VALUE_SIZE],
                           int *countOut)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return 0;
    int count = 0;
    int items = CountChar(list, ';') + 1;
    for (int i = 0; i < items && count < BUTTON_MENU_MAX_ITEMS; i++) {
        char caption[128];
        if (!GetDropDownMenuItem(list, i, caption, sizeof(caption), values[count], BUTTON_MENU_VALUE_SIZE))
            continue;   // an item that misses a piece is left out
        if (!strcmp(caption, "<sep>")) {
            AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
            continue;
        }
        UINT flags = MF_STRING;
        const char *value = values[count];
        if (gViewOnly && (action == 219 || ((action == 240 || action == 241) &&
                                            (StartsWithText(value, "TI") || StartsWithText(value, "EO")))))
            flags |= MF_GRAYED;
        if (action == 227 && HasReturnExplanation(value))
            flags |= MF_CHECKED;
        AppendMenuA(menu, flags, (UINT_PTR)(count + 1), caption);
        count++;
    }
    *countOut = count;
    // Button 242 shows pictures beside its first, third and fourth items.
    static const int kMorePictures[][2] = {{0, 791}, {2, 790}, {3, 792}};
    HBITMAP pictures[3] = {NULL, NULL, NULL};
    for (int i = 0; action == 242 && i < 3; i++) {
        if (kMorePictures[i][0] >= GetMenuItemCount(menu))
            continue;
        pictures[i] = (HBITMAP)LoadImageA(gInstance ? gInstance : GetModuleHandleA(NULL),
                                          MAKEINTRESOURCEA(kMorePictures[i][1]), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        MENUITEMINFOA info;
        memset(&info, 0, sizeof(info));
        info.cbSize = sizeof(info);
        info.fMask = MIIM_BITMAP;
        info.hbmpItem = pictures[i];
        if (pictures[i])
            SetMenuItemInfoA(menu, (UINT)kMorePictures[i][0], TRUE, &info);
    }
    int choice = 0;
    if (count) {
        if (gFieldButtonMenuHook) {
            choice = gFieldButtonMenuHook(menu, count);
        } else {
            POINT cursor;
            GetCursorPos(&cursor);
            choice = (int)TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN, cursor.x, cursor.y,
                                           pageView, NULL);
        }
    }
    DestroyMenu(menu);
    for (HBITMAP picture : pictures)
        if (picture)
            DeleteObject(picture);
    return choice >= 1 && choice <= count ? choice : 0;
}

int RunDropDownMenuAction(HWND pageView, int action, FieldRecord *field, int onArrow)
{
    const char *list = field->valueList;
    if (!list || !*list)
        return 0;
    char values[BUTTON_MENU_MAX_ITEMS][BUTTON_MENU_VALUE_SIZE];
    memset(values, 0, sizeof(values));
    int count = 0, choice = 0;
    if (IsAlwaysMenu(action) || onArrow) {
        choice = TrackButtonMenu(pageView, action, list, values, &count);
    } else {
        // The face of a drop-down button runs its first item.
        char caption[128];
        if (GetDropDownMenuItem(list, 0, caption, sizeof(caption), values[0], BUTTON_MENU_VALUE_SIZE) &&
            strcmp(caption, "<sep>") != 0)
            choice = 1;
        if (choice && gViewOnly)
            return 0;
    }
    if (!choice)
        return 0;
    const char *value = values[choice - 1];
    FieldTable *table = (FieldTable *)GetCurrentDocument(3);
    FormInstance *form = (FormInstance *)GetCurrentDocument(4);
    if (action == 262) {
        FieldRecord *named = FindNamedPageField(value);
        if (!named)
            return 0;
        if (named->seqPrefix && named->seqPrefix[0] == '*' && gMainWindow)
            SendMessageA(gMainWindow, WM_OPEN_STATEMENT, 0, (LPARAM)named);
        return 1;
    }
    if (action == 242 && form && form->pageKey && !_stricmp(form->pageKey, "Schedule R (Form 941).1")) {
        FieldRecord *named = FindNamedPageField(value);
        if (!named)
            return 0;
        SendMessageA(pageView, WM_COMMAND, MAKEWPARAM(0xFFFF, BN_CLICKED), (LPARAM)named);
        return 1;
    }
    if (action == 219)
        return RunPasteAction(pageView, value, table);
    return ShowExplanationDialog(value, table, action);
}
