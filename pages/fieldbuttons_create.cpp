// Field buttons: the slots of a page's button fields, their bitmaps, their placement over the
// scaled page, their owner-drawn faces and their removal.
#include "pages/fieldbuttons_private.h"
#include "ui/ui.h"

#include <string.h>

struct ButtonBitmapRow {
    int numbers[3];
    const char *name;
};

// Action number -> bitmap resource (id IDB_FIELD_BUTTON_BASE + row, made from the name by
// tools/make-button-bitmaps.py); the row with number 0 ends the table.
static const ButtonBitmapRow kButtonBitmaps[] = {
    {{100}, "BTN_GEN_BMP"}, {{101}, "BTN_IMPORT_BMP"}, {{102}, "BTN_INFO_BMP"}, {{103}, "BTN_SPREAD_BMP"},
    {{104}, "BTN_STMT_BMP"}, {{106, 107}, "BTN_INFOEXPLAIN_BMP"}, {{109}, "BTN_WORKSHEET_BMP"},
    {{111}, "BTN_VIEWPDF_BMP"}, {{112}, "BTN_GENPDF_BMP"}, {{113}, "BTN_FOLDER_BMP"}, {{209}, "BTNS_EIC_BMP"},
    {{211}, "BTNS_CTC_BMP"}, {{204, 205}, "BTNS_INFO_BMP"}, {{202, 203, 239}, "BTNS_PLUS_BMP"},
    {{212, 213}, "BTNS_MINUS_BMP"}, {{200, 201}, "BTNS_STMT_BMP"}, {{206, 207}, "BTNS_WORKSHEET_BMP"},
    {{215}, "BTNS_SEND_BMP"}, {{216, 217}, "BTNS_GLOBE_BMP"}, {{218, 219}, "BTNS_PASTE_BMP"},
    {{221}, "BTNS_ROLLOVER_BMP"}, {{222, 223}, "BTNS_GRNDOLLAR_BMP"}, {{224, 225}, "BTNS_REDDOLLAR_BMP"},
    {{227}, "BTNS_IRS_BMP"}, {{229}, "BTNS_X_BMP"}, {{231}, "BTNS_FLAG_BMP"}, {{233, 234}, "BTNS_TAX_BMP"},
    {{235}, "BTNS_PAY_BMP"}, {{237}, "BTNS_NOT_BMP"}, {{240}, "BTNS_TP1_BMP"}, {{241}, "BTNS_TP2_BMP"},
    {{242}, "BTNS_MORE_BMP"}, {{243}, "BTNS_NOTE_BMP"}, {{245}, "BTNS_DAYS_BMP"}, {{247}, "BTNS_WINDOW_BMP"},
    {{249}, "BTNS_PUERTORICO_BMP"}, {{251}, "BTNS_PLUSMINUS_BMP"}, {{253}, "BTNS_ASTRED_BMP"},
    {{255}, "BTNS_ASTBLUE_BMP"}, {{257}, "BTNS_ASTGREEN_BMP"}, {{259}, "BTNS_INTEREST_BMP"},
    {{261}, "BTNS_MFS_BMP"}, {{262, 263}, "BTNS_ADJ_BMP"}, {{264}, "BTNS_GOTO_BMP"}, {{265}, "BTNS_MORE2_BMP"},
    {{267}, "BTNS_PIN_BMP"}, {{0}, "BTN_DUMMY"},
};

// The table row of an action number (the last row before the end for numbers not listed).
static int FindButtonBitmapRow(int action)
{
    int last = 0;
    for (int i = 0; kButtonBitmaps[i].numbers[0]; i++) {
        last = i;
        for (int k = 0; k < 3 && kButtonBitmaps[i].numbers[k]; k++)
            if (kButtonBitmaps[i].numbers[k] == action)
                return i;
    }
    return last;
}

const char *GetFieldButtonBitmapName(int action)
{
    return kButtonBitmaps[FindButtonBitmapRow(action)].name;
}

int GetFieldButtonBitmapId(int action)
{
    return IDB_FIELD_BUTTON_BASE + FindButtonBitmapRow(action);
}

int GetFieldButtonAction(const char *typeCode, int *wide)
{
    if (wide)
        *wide = 0;
    FieldFormat format;
    memset(&format, 0, sizeof(format));
    int parts = typeCode ? ParseFieldFormat(typeCode, &format, 0) : 0;
    for (int i = 0; i < parts; i++) {
        const FieldFormatPart *part = &format.parts[i];
        if ((part->letter == 'B' || part->letter == 'i') && part->number >= 0) {
            if (wide)
                *wide = part->lMark != 0;
            return part->number;
        }
    }
    return -1;
}

int CreatePageButtonSlots(FormInstance *page)
{
    if (!page || !page->fieldTable)
        return 0;
    if (page->buttons)
        return page->buttonCount;
    FieldTable *table = page->fieldTable;
    int count = 0;
    for (int i = 1; i < table->count; i++)
        if (table->fields[i].rect && table->fields[i].typeCode && table->fields[i].typeCode[0] == 'B')
            count++;
    if (!count || count > 0xFFFE)
        return 0;
    page->buttons = (FieldButtonSlot *)MemAlloc(64, sizeof(FieldButtonSlot) * (size_t)count);
    if (!page->buttons)
        return 0;
    int n = 0;
    for (int i = 1; i < table->count; i++)
        if (table->fields[i].rect && table->fields[i].typeCode && table->fields[i].typeCode[0] == 'B')
            page->buttons[n++].field = &table->fields[i];
    page->buttonCount = (uint16_t)n;
    return n;
}

HBITMAP CreateFieldButtonBitmap(FieldButtonSlot *slot)
{
    if (!slot || !slot->field)
        return NULL;
    int wide = 0;
    slot->action = GetFieldButtonAction(slot->field->typeCode, &wide);
    HBITMAP bitmap = (HBITMAP)LoadImageA(gInstance, MAKEINTRESOURCEA(GetFieldButtonBitmapId(slot->action)),
                                         IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    if (bitmap && wide) {
        int w = 0, h = 0;
        if (GetBitmapSize(bitmap, &w, &h) && slot->field->rect) {
            // Widened to the field's width at the bitmaps' own zoom (0.3).
            int fieldWidth = (int)((slot->field->rect->right - slot->field->rect->left) * 0.3f + 0.5f) - 3;
            if (fieldWidth > w)
                bitmap = WidenButtonBitmap(bitmap, fieldWidth);
        }
    }
    return bitmap;
}

static int RoundHalf(float value)
{
    return (int)(value + 0.5f);
}

void ComputeFieldButtonRect(const RECT *fieldRect, int bitmapWidth, int bitmapHeight, float zoom, int scrollX,
                            int marginX, int scrollY, int marginY, RECT *out)
{
    float scale = zoom / 0.3f;
    int width = RoundHalf((float)(bitmapWidth + 3) * scale);
    int height = RoundHalf((float)(bitmapHeight + 3) * scale);
    out->left = RoundHalf((float)fieldRect->left * zoom) - scrollX + marginX;
    out->top = RoundHalf((float)fieldRect->top * zoom) - scrollY + marginY;
    out->right = out->left + width;
    out->bottom = out->top + height;
}

static HWND CreateButtonTooltip(HWND pageView)
{
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, pageView, NULL,
                               gInstance, NULL);
    if (tip) {
        SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 300);
        SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    }
    return tip;
}

static void AddButtonTool(HWND tip, HWND button, const char *text, int id)
{
    if (!tip || !button)
        return;
    TOOLINFOA info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = button;
    info.uId = (UINT_PTR)id;
    info.hinst = gInstance;
    info.lpszText = (char *)(text ? text : "");
    GetClientRect(button, &info.rect);
    SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&info);
}

int PositionFieldButtons(HWND pageView, FormInstance *form, int scrollX, int marginX, int scrollY, int marginY,
                         int zoomChanged)
{
    if (!form || !CreatePageButtonSlots(form))
        return 0;
    if (!form->tooltip)
        form->tooltip = CreateButtonTooltip(pageView);
    for (int i = 0; i < form->buttonCount; i++) {
        FieldButtonSlot *slot = &form->buttons[i];
        if (!slot->field || !slot->field->rect)
            continue;
        if (!slot->bitmap)
            slot->bitmap = CreateFieldButtonBitmap(slot);
        int bw = 30, bh = 13;
        if (slot->bitmap)
            GetBitmapSize(slot->bitmap, &bw, &bh);
        RECT want;
        ComputeFieldButtonRect(slot->field->rect, bw, bh, gZoom, scrollX, marginX, scrollY, marginY, &want);
        if (slot->window && IsWindow(slot->window)) {
            RECT now;
            GetWindowRect(slot->window, &now);
            MapWindowPoints(NULL, pageView, (POINT *)&now, 2);
            if (!EqualRect(&now, &want)) {
                if (!zoomChanged)
                    InvalidateRect(slot->window, NULL, FALSE);
                SetWindowPos(slot->window, NULL, want.left, want.top, want.right - want.left,
                             want.bottom - want.top, SWP_NOZORDER | SWP_NOACTIVATE);
            }
            continue;
        }
        slot->window = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, want.left, want.top,
                                       want.right - want.left, want.bottom - want.top, pageView,
                                       (HMENU)(INT_PTR)i, gInstance, NULL);
        if (!slot->window)
            continue;
        SetWindowLongPtrA(slot->window, GWLP_USERDATA, (LONG_PTR)slot);
        AddButtonTool(form->tooltip, slot->window, slot->field->description, i);
    }
    return form->buttonCount;
}

int DestroyFieldButtons(FieldButtonSlot *slots, int count, HWND tooltipWindow)
{
    for (int i = 0; slots && i < count; i++) {
        if (tooltipWindow && slots[i].window) {
            TOOLINFOA info;
            memset(&info, 0, sizeof(info));
            info.cbSize = sizeof(info);
            info.hwnd = slots[i].window;
            info.uId = (UINT_PTR)i;
            SendMessageA(tooltipWindow, TTM_DELTOOLA, 0, (LPARAM)&info);
        }
        if (slots[i].bitmap)
            DeleteObject(slots[i].bitmap);
        if (slots[i].window && IsWindow(slots[i].window))
            DestroyWindow(slots[i].window);
        slots[i].bitmap = NULL;
        slots[i].window = NULL;
    }
    return 1;
}

int IsDropDownButton(int action)
{
    return action == 219 || action == 240 || action == 241;
}

// 1 when the cursor, mapped into the button, lies on its arrow part (the right 14/33).
int IsCursorOnButtonArrow(HWND button)
{
    POINT cursor;
    RECT client;
    if (!button || !GetCursorPos(&cursor) || !GetClientRect(button, &client))
        return 0;
    ScreenToClient(button, &cursor);
    int width = client.right - client.left;
    return cursor.x > client.right - width * 14 / 33 && cursor.x < client.right;
}

void DrawFieldButton(const DRAWITEMSTRUCT *item)
{
    FieldButtonSlot *slot = (FieldButtonSlot *)GetWindowLongPtrA(item->hwndItem, GWLP_USERDATA);
    if (!slot)
        return;
    int width = item->rcItem.right - item->rcItem.left, height = item->rcItem.bottom - item->rcItem.top;
    int pressed = (item->itemState & ODS_SELECTED) ? 1 : 0;
    if (IsDropDownButton(slot->action)) {
        // Pressed, the part under the cursor (the arrow or the picture) sinks, on a white face.
        int arrowHot = pressed && IsCursorOnButtonArrow(item->hwndItem);
        HBITMAP face = DrawDropdownButton(slot->bitmap, width, height, pressed, 1, arrowHot, 1);
        if (face) {
            HDC dc = CreateCompatibleDC(item->hDC);
            HGDIOBJ old = SelectObject(dc, face);
            BitBlt(item->hDC, item->rcItem.left, item->rcItem.top, width, height, dc, 0, 0, SRCCOPY);
            SelectObject(dc, old);
            DeleteDC(dc);
            DeleteObject(face);
        }
        return;
    }
    RECT r = item->rcItem;
    FillRect(item->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    int bw = 0, bh = 0;
    if (slot->bitmap && GetBitmapSize(slot->bitmap, &bw, &bh) && bw > 0 && bh > 0) {
        // The bitmap scaled as the button, inside its 3-pixel frame share.
        HDC dc = CreateCompatibleDC(item->hDC);
        HGDIOBJ old = SelectObject(dc, slot->bitmap);
        int inset = width * 3 / (bw + 3) / 2;
        int insetY = height * 3 / (bh + 3) / 2;
        int oldMode = SetStretchBltMode(item->hDC, COLORONCOLOR);
        StretchBlt(item->hDC, r.left + inset + pressed, r.top + insetY + pressed, width - 2 * inset,
                   height - 2 * insetY, dc, 0, 0, bw, bh, SRCCOPY);
        SetStretchBltMode(item->hDC, oldMode);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    DrawEdge(item->hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
}
