#include "korvel_resources.h"

#include "resource_ids.h"

extern const unsigned char icon_128[];
extern const std::size_t icon_128_size;

#include "bitmap_index.inc"

namespace {

const res::BlobResource kIcons[] = {
    {IDR_MAINFRAME, {icon_128, icon_128_size}},
};

const res::StringResource kStrings[] = {
    {IDS_ABOUTBOX, "&About..."},
};

}  // namespace

const res::ResourceTable& KorvelResources() {
    static const res::ResourceTable table{kBitmaps, kIcons, kStrings, KorvelDialogs()};
    return table;
}
