// The markup renderer: lays a markup text out once (markup_layout.h), then measures it, tells
// what lies under a point and paints it with the paint inputs of the moment, so that one layout
// paints every hover and focus state.
#pragma once

#include "controls/markup/markup_layout.h"
