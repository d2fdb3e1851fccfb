// canvas.h - public interface of the page canvas: everything that draws a page without a window.
//
// Layering: the canvas sits on the data layers (store, calc, prepare, transmit) and below every
// window layer (pages, print, entry, shell). It holds the bitmap toolkit, the page canvas, the PCL
// and HP-GL/2 interpreters, vector artwork, field painting, the field-background blocks and the
// print stamps. Tools and tests use it on its own; it never includes a window folder.
// Its topics live in canvas/bitmap.h, canvas/pcl.h, canvas/paint.h and canvas/pagespeed.h.
#ifndef LEVYLINE_CANVAS_H
#define LEVYLINE_CANVAS_H

#include "canvas/bitmap.h"
#include "canvas/pcl.h"
#include "canvas/paint.h"
#include "canvas/pagespeed.h"
#include "canvas/hpgl_stroke.h"

#endif // LEVYLINE_CANVAS_H
