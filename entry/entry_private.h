// entry_private.h - declarations shared by the files of entry/ only.
#ifndef LEVYLINE_ENTRY_PRIVATE_H
#define LEVYLINE_ENTRY_PRIVATE_H

#include "entry/entry.h"

// Forms tree internals (formstree*.cpp): folder captions from the string table, folder records
// and items, page tabs, item rectangles.
int LoadTreeCaption(int id, char *buffer, int size);
FormGroupNode *NewFolderRecord(int iconId, int jurisdiction);
HTREEITEM InsertFolderItem(const char *caption, FormGroupNode *record, HTREEITEM after);
int InsertPageTab(HTREEITEM item, FormInstance *page);
int GetTreeItemRect(HTREEITEM item, RECT *rc);
// The form part of a page key (before its last dot) into out (outSize bytes, always ended).
void GetPageFormName(const char *pageKey, char *out, int outSize);

// The page key of an edit request's page (the page shown when the request has none).
const char *GetRequestPageKey(const EditRequest *request);

#endif // LEVYLINE_ENTRY_PRIVATE_H
