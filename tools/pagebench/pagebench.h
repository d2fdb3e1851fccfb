// pagebench's parts: the page floor and the page-switch and opening benchmarks.
#ifndef LEVYLINE_PAGEBENCH_H
#define LEVYLINE_PAGEBENCH_H

#include <windows.h>
#include <string>

// Takes a white canvas and decodes the raster rows of the stream's first page into a buffer,
// drawing nothing; returns the canvas (the caller deletes it) and the number of rows decoded.
HBITMAP RenderPageFloor(const unsigned char *data, unsigned int length, int *rowsOut);
// The milliseconds between two performance-counter readings.
double ElapsedMs(const LARGE_INTEGER &a, const LARGE_INTEGER &b);
// The median of the values (sorted in place); 0 for none.
double MedianOf(double *values, int count);
// pagebench view [RETURN]: opens a copy of the return (default: the sample return of the build)
// beside the build's FormPaks in a hidden main window and prints the median and the worst milliseconds from selecting a form page in the
// forms tree to the page painted, over the return's form pages, and each page's.
int RunViewBench(const char *returnPath);
// pagebench open: writes returns of 50, 100, 200 and 300 pages from the build's FormPaks and prints
// the milliseconds to open each in a hidden main window.
int RunOpenBench(void);

// The hidden main window (benchwindow.cpp): made with every hook the program sets, never shown.
HWND OpenBenchWindow(void);
void CloseBenchWindow(HWND window);
// Runs the thread's messages for ms milliseconds (0: those waiting).
void PumpBenchMessages(int ms);
// Lets the recompute worker finish.
void WaitForBenchRecompute(void);
// pagebench scale: the scaled copy of the page stream's page made by ResizeBitmap and by
// StretchBlt's modes, timed (scalebench.cpp).
int RunScaleBench(const std::string &stream);

#endif
