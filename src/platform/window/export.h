// Taking the program's numbers and pictures out: the clipboard, and files
// written whole or not at all.
#pragma once

#include <string>

#include "cstring.h"
#include "gdi.h"

// Puts `text` (UTF-8) on the clipboard as plain text.
BOOL AfxSetClipboardText(const CString& text);

// Writes `bytes` to `path`: into a temporary file beside it that takes the
// place of `path` only once everything is written, so a failure leaves
// whatever was at `path` untouched and no partial file behind. On failure
// `error` says in a sentence what went wrong.
BOOL AfxSaveFile(const CString& path, const std::string& bytes, CString* error);

// Writes every pixel of `pixels` to `path` as a PNG image, the same way.
BOOL AfxSavePng(const CString& path, const Surface& pixels, CString* error);
