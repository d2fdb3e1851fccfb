// listreport_layout.cpp - list reports: job defaults, device geometry, column layout, the
// footer's date and time, and the page-break rule of rows. No drawing here.
#include "print/print.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

void InitListPrintJob(ListPrintJob *job, HWND listView)
{
    if (!job)
        return;
    memset(job, 0, sizeof *job);
    job->listView = listView;
    job->header = listView ? (HWND)SendMessageA(listView, LVM_GETHEADER, 0, 0) : 0;
    job->titleBlock = 1;
    job->titleArtwork = 1;
    job->artworkId = 1;
    job->titleTextColour = 0;
    job->titleFillColour = RGB(255, 255, 255);
    job->headTextColour = RGB(255, 255, 255);
    job->headFillColour = 0;
    job->footerTextColour = 0;
    job->footerFillColour = RGB(255, 255, 255);
    job->leftMargin = 0.5f;
    job->topMargin = 0.75f;
    job->rowLines = 1;
    static const int points[LIST_FONT_COUNT] = {10, 22, 12, 10, 10};
    for (int i = 0; i < LIST_FONT_COUNT; i++) {
        job->fontPoints[i] = points[i];
        lstrcpynA(job->fontFaces[i], "Arial", sizeof job->fontFaces[i]);
    }
    job->shrink = 1.0f;
}

void SetListReportGeometry(ListPrintJob *job, HDC printerDc, int bitmapWidth, int bitmapHeight,
                           int screenDpiX, int screenDpiY)
{
    if (!job)
        return;
    if (screenDpiX <= 0)
        screenDpiX = 96;
    if (screenDpiY <= 0)
        screenDpiY = 96;
    job->rotated = 0;
    if (printerDc) {
        int dpiX = GetDeviceCaps(printerDc, LOGPIXELSX);
        int dpiY = GetDeviceCaps(printerDc, LOGPIXELSY);
        if (dpiX <= 0)
            dpiX = 300;
        if (dpiY <= 0)
            dpiY = 300;
        job->pageWidth = GetDeviceCaps(printerDc, HORZRES);
        job->pageHeight = GetDeviceCaps(printerDc, VERTRES);
        job->marginX = (int)(dpiX * job->leftMargin) - GetDeviceCaps(printerDc, PHYSICALOFFSETX);
        job->marginY = (int)(dpiY * job->topMargin) - GetDeviceCaps(printerDc, PHYSICALOFFSETY);
        if (job->marginX < 0)
            job->marginX = 0;
        if (job->marginY < 0)
            job->marginY = 0;
        job->scaleX = (float)dpiX / (float)screenDpiX;
        job->scaleY = (float)dpiY / (float)screenDpiY;
        job->artScaleX = dpiX / 600.0;
        job->artScaleY = dpiY / 600.0;
        job->fontDpi = dpiY;
        int portrait = job->pageWidth < job->pageHeight;
        if ((job->landscape && portrait) || (!job->landscape && !portrait && job->pageWidth != job->pageHeight)) {
            int t = job->pageWidth;
            job->pageWidth = job->pageHeight;
            job->pageHeight = t;
            int m = job->marginX < job->marginY ? job->marginX : job->marginY;
            job->marginX = job->marginY = m;
            float s = job->scaleX;
            job->scaleX = job->scaleY;
            job->scaleY = s;
            double a = job->artScaleX;
            job->artScaleX = job->artScaleY;
            job->artScaleY = a;
            job->rotated = 1;
        }
    } else {
        int w = bitmapWidth > 0 ? bitmapWidth : PAGE_CANVAS_WIDTH;
        int h = bitmapHeight > 0 ? bitmapHeight : PAGE_CANVAS_HEIGHT;
        if ((job->landscape && w < h) || (!job->landscape && w > h)) {
            int t = w;
            w = h;
            h = t;
        }
        job->pageWidth = w;
        job->pageHeight = h;
        job->marginX = job->marginY = 0;
        job->scaleX = 300.0f / (float)screenDpiX;
        job->scaleY = 300.0f / (float)screenDpiY;
        job->artScaleX = job->artScaleY = 0.5;
        job->fontDpi = 300;
    }
    job->printableWidth = job->pageWidth - 2 * job->marginX;
    job->printableHeight = job->pageHeight - 2 * job->marginY;
    job->spaceX4 = (int)(4 * job->scaleX);
    job->spaceX20 = (int)(20 * job->scaleX);
    job->spaceY20 = (int)(20 * job->scaleY);
    job->spaceY10 = (int)(10 * job->scaleY);
    job->spaceY6 = (int)(6 * job->scaleY);
    job->spaceY2 = (int)(2 * job->scaleY);
}

float LayoutListColumns(ListPrintJob *job, ListReportColumn *columns, int count)
{
    if (!job || !columns || count <= 0)
        return 1.0f;
    long long total = 0;
    for (int i = 0; i < count; i++) {
        columns[i].width = (int)(columns[i].listWidth * job->scaleX);
        if (columns[i].width < 0)
            columns[i].width = 0;
        total += columns[i].width;
    }
    float factor = 1.0f;
    if (total > job->printableWidth && total > 0) {
        long long whole = (long long)job->printableWidth * 100 / total;
        factor = (float)whole / 100.0f;
        if (factor < 0.45f && job->scaleX <= 1.0f)
            factor = 0.44f;
        total = 0;
        for (int i = 0; i < count; i++) {
            columns[i].width = (int)(columns[i].width * factor);
            total += columns[i].width;
        }
    }
    job->indent = 0;
    if (job->centre && total < job->printableWidth - 1)
        job->indent = (int)((job->printableWidth - total) / 2);
    job->shrink = factor;
    return factor;
}

int FormatListReportTime(const SYSTEMTIME *time, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    if (!time)
        return 0;
    // 12-hour clock: midnight is 12 a.m., noon 12 p.m.
    int hour = time->wHour % 24;
    const char *half = hour >= 12 ? "p.m." : "a.m.";
    int shown = hour % 12;
    if (shown == 0)
        shown = 12;
    int n = snprintf(out, outSize, "%02d/%02d/%04d  %02d:%02d:%02d %s", time->wMonth, time->wDay, time->wYear,
                     shown, time->wMinute, time->wSecond, half);
    if (n < 0 || n >= outSize) {
        out[0] = 0;
        return 0;
    }
    return n;
}

int ListRowFitsOnPage(int top, int rowHeight, int bottom)
{
    return top + rowHeight * 3 / 4 <= bottom;
}

int GetListFooterTop(const ListPrintJob *job, int footerFontHeight)
{
    return job ? job->pageHeight - (footerFontHeight + 2 * job->spaceY2) : 0;
}
