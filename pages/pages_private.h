// pages_private.h - declarations shared by the files of pages/ only.
#ifndef LEVYLINE_PAGES_PRIVATE_H
#define LEVYLINE_PAGES_PRIVATE_H

#include "pages/pages.h"
#include <shellapi.h>

// The page view's message handlers (pageview_paint.cpp, pageview_click.cpp, pageview_drop.cpp,
// pageview_amend.cpp).
void PaintPageView(HWND window);
void ScrollPageView(HWND window, int bar, int code, int thumb);
void OnPageViewClick(HWND window, LPARAM lParam);
void OnPageViewGotoField(HWND window, int direction, int fieldIndex);
void OnPageViewDrop(HWND window, HDROP drop);
void OnPageViewAmended(HWND window, int ticked);
void ClearAmendedPost(void);
void PostAmendedCommit(HWND window);
// The caption of a page for the popups: its tree text, with ", Copy %d" for copies
// (pageview_click.cpp).
void BuildPageCaption(FormInstance *form, char *out, int outSize);
// Field tests of the click road (pageview_fields.cpp).
int HasFieldLinkText(const FieldRecord *field);
int IsLockedReturnItem(const char *type);
// The head of the statement group of the field at index (null when it is no member), and
// whether that statement's rows live in the head's overflow text.
FieldRecord *FindStatementGroupHead(const FieldTable *table, int index);
int IsStatementKeptApart(const FieldTable *table, int index);

#endif // LEVYLINE_PAGES_PRIVATE_H
