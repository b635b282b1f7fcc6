// Resources: the program's (dialog templates, bitmaps, icons, strings),
// which it hands over in one table, and the platform's own, compiled into
// the platform (the bundled fonts, the toolkit's Russian catalogue).
#pragma once

#include <cstddef>
#include <span>

#include "dialog_template.h"

namespace res {

struct Blob {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    explicit operator bool() const { return data != nullptr && size > 0; }
};

struct BlobResource {
    unsigned id;
    Blob blob;
};

struct StringResource {
    unsigned id;
    const char* text;  // UTF-8
};

// What the program hands to the platform; the tables stay where they are
// (static data of the program) and are looked up by id.
struct ResourceTable {
    std::span<const BlobResource> bitmaps;  // BMP files
    std::span<const BlobResource> icons;    // PNG files
    std::span<const StringResource> strings;
    std::span<const DialogTemplate> dialogs;
};

// Lookups in the table registered last; empty (or nullptr) for an id it
// does not hold, or when none was registered.
Blob Bitmap(unsigned id);
Blob Icon(unsigned id);
const char* String(unsigned id);
const DialogTemplate* FindDialog(int id);

// The platform's own: the bundled sans faces (bold for the drawing layer's
// system font, regular for dialogs and the GUI font) and the toolkit's
// Russian translation (a .qm catalogue).
Blob FontSansBold();
Blob FontSansRegular();
Blob ToolkitTranslationRu();

}  // namespace res

// Hands the program's resources to the platform. Call once, before the
// first window or bitmap is loaded and before any other thread starts; the
// application object does it when it is constructed.
void AfxRegisterResources(const res::ResourceTable& table);
