// preparer_check.cpp - the preparer check's look at a preparer field: the group of preparer
// values ("S[m" field) next to it is opened in the multi-field popup for review.
#include "shell/shell.h"
#include "entry/entry.h"

int CheckPreparerMismatch(FieldRecord *field, FieldTable *fields)
{
    // 1 when a popup was shown (the caller then re-reads the values).
    return OpenNearbyMultiFieldDialog(field, fields, 2);
}
