// store.h - public interface of the return data store: utility services (memory, messages, text,
// files and folders, registry, state table), the open return and its pages and fields, the
// packed data files (FormPaks, return files) and the callbacks through which the data layers
// reach the windows.
//
// Layering: store/ is the lowest layer; calc/, prepare/ and transmit/ build on it in that order,
// and the windows (entry/, pages/, print/, shell/) above them. The data layers include nothing
// of the windows: where they must reach up they go through store/callbacks.h, filled by the
// shell at start-up. The topics live in their own headers below; include this one.
#ifndef LEVYLINE_STORE_H
#define LEVYLINE_STORE_H

#include "store/util.h"
#include "store/text.h"
#include "store/files.h"
#include "store/registry.h"
#include "store/return_record.h"
#include "store/form_model.h"
#include "store/packed.h"
#include "store/callbacks.h"
#include "store/seams.h"

#include "store/formpak_missing.h"
#include "store/page_copies.h"

#endif // LEVYLINE_STORE_H
