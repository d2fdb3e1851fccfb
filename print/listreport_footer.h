// listreport_footer.h - where a list report's footer band sits on its page.
#ifndef LEVYLINE_LISTREPORT_FOOTER_H
#define LEVYLINE_LISTREPORT_FOOTER_H

struct ListPrintJob;

// The top of the footer band: the page height less the footer font's height and twice the
// 2-pixel spacing (the page's bottom margin is not taken off: the band sits at the page's foot).
int GetListFooterTop(const ListPrintJob *job, int footerFontHeight);

#endif // LEVYLINE_LISTREPORT_FOOTER_H
