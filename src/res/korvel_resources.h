// The program's resources, as the table the platform takes.
#pragma once

#include "resources.h"

const res::ResourceTable& KorvelResources();

// The dialog templates (templates.cpp).
std::span<const res::DialogTemplate> KorvelDialogs();
