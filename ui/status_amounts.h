// status_amounts.h - the status bar's refund and balance-due parts.
#ifndef LEVYLINE_UI_STATUS_AMOUNTS_H
#define LEVYLINE_UI_STATUS_AMOUNTS_H

#define STATUS_AMOUNT_TEXT_SIZE 128
// The status-bar texts of the open return's main forms, federal first, then state and other
// (at most most texts): "Federal Refund: $1,640", "State Balance Due: $310", "Other: $0" without
// an amount; a part of several main forms names each form ("Form 941 Balance Due: $1,000",
// "Form 1040 Refund: $1,640"). Returns the number of texts.
int FormatStatusAmountTexts(char texts[][STATUS_AMOUNT_TEXT_SIZE], int most);

#endif
