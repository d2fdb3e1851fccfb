// status_amounts.h - the status bar's refund and balance-due parts.
#ifndef LEVYLINE_UI_STATUS_AMOUNTS_H
#define LEVYLINE_UI_STATUS_AMOUNTS_H

// The status-bar text of part partLetter ('F', 'S', 'O') of the open return into out:
// "Federal Refund: $1,640", "State Balance Due: $310", "Federal: $0" without an amount. 0 (out
// empty) when the return holds no such part.
int FormatStatusAmountText(char partLetter, char *out, int outSize);

#endif
