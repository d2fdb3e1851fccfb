// taxpayer_combined.h - combined taxpayer items ("1bc", "1de", "1fg"): one field, two members.
#ifndef LEVYLINE_TAXPAYER_COMBINED_H
#define LEVYLINE_TAXPAYER_COMBINED_H

#include "store/store.h"

// 1 when itemCode names a combined item; mainCode and extraCode (3 bytes each) receive the codes of
// its members ("1b" and "1c", "1d" and "1t" (suffix), "1f" and "1g").
int GetCombinedItemMembers(const char *itemCode, char *mainCode, char *extraCode);
// Splits the text of a combined item (itemLetter 'b', 'd' or 'f') into its members: the last word
// is the middle initial ('b': one letter, or the middle name kept in oldExtra) or the suffix ('d':
// Jr, Sr, II ... or the suffix kept); 'f' keeps oldExtra as the apartment when the text ends with
// it. Otherwise the whole text is the main member and the extra member is empty. Returns the
// number of members with text (1 or 2), 0 for an unknown letter.
int SplitCombinedItemText(char itemLetter, const char *text, const char *oldExtra, char *mainOut, int mainSize,
                          char *extraOut, int extraSize);
// Stores a combined item's text into its two members under their rules (both or neither): 1 when
// stored, 0 when refused, -1 when itemCode is not a combined item.
int ApplyCombinedItemRules(const char *itemCode, const char *text, OpenReturn *returnRecord);

#endif // LEVYLINE_TAXPAYER_COMBINED_H
