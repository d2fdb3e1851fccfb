// taxpayer.h - taxpayer items and joined-name fields of the pages: filling 'T' fields from the
// return record and 'i' fields from the fields after them. Part of pages.h.
#ifndef LEVYLINE_PAGES_TAXPAYER_H
#define LEVYLINE_PAGES_TAXPAYER_H

#include <windows.h>
#include "store/store.h"

// The value a taxpayer item field shows, from record: first name with middle name ('b' flag 'c'),
// last name with suffix ('d' flag 'e'), street with apartment unless the street already ends with
// it ('f' flag 'g'), else the member's text; SSNs, EINs and phones in their entry form (not for a
// one-character position, which reads the record's text). Writes into out (outSize bytes). Returns 1 for a
// known item, 0 when the field names no item (the field is then left alone).
int GetTaxpayerItemValue(const FieldRecord *field, OpenReturn *record, char *out, int outSize);
// Fills every taxpayer item of one page's table from firstIndex on; with redraw, each changed
// field of the page shown is repainted. formInstance may be null (then the spouse's number is
// never blanked). Returns the number of fields changed.
int PropagateFormHeaderName(FieldTable *fieldTable, OpenReturn *returnRecord, FormInstance *formInstance,
                            int firstIndex, int redraw);
// The same over every page of the return for the kinds '0', '1', '2', '3' and '8'; changed fields
// of the page shown are repainted. Returns the number of fields changed.
int PropagateTaxpayerName(OpenReturn *returnRecord);
// Joins, in every 'i' field of type number 2 or 3, the values of the two or three records after
// it (never past the table's end). A field whose sources are all empty is cleared. Returns the
// number of fields changed.
int PropagateNameFields(void);
// Every taxpayer item and joined name of every page of the return, without repainting (a return
// just opened: pages that are printed without being shown carry the record's values too).
// Returns the number of fields changed.
int FillReturnTaxpayerItems(OpenReturn *returnRecord);
// After the taxpayer record changed: PropagateTaxpayerName, then PropagateNameFields. Returns
// the number of fields changed.
int PropagateTaxpayerChange(OpenReturn *returnRecord);
// The same on one table (no window needed); used by PropagateNameFields.
int FillJoinedNameFields(FieldTable *table, FormInstance *page);

#endif // LEVYLINE_PAGES_TAXPAYER_H
