// The markup renderer: lays a markup text out once (markup_layout.h), then measures it, tells
// what lies under a point and paints it with the paint inputs of the moment, so that one layout
// paints every hover and focus state; keeps a layout between paints and mouse moves
// (markup_layout_cache.h); gives a text's plain form (markup_text.h).
//
// The one header other folders include from controls/markup/: the headers it includes are its
// parts, and the layout pass, tag reader, colour names and drawing helpers stay private
// (cmake/HouseRules.cmake checks it).
#pragma once

#include "controls/markup/markup_layout.h"
#include "controls/markup/markup_layout_cache.h"
#include "controls/markup/markup_text.h"
