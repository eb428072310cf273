// The texts are compile-time constants; this unit keeps the header's module pair complete.
#include "app/mccan_text.h"
