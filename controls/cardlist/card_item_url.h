// The address a click on a URL item opens: the item's text with the prefix of its URL type.
// Only addresses of the web, file transfer, mail and news schemes are formed, so that a card's
// text can never start a program or open a local file.
#pragma once

#include <string>

#include "controls/cardlist/card_template.h"

namespace cardlist {

// The address for `text` shown by an item of `type`; empty when there is none to open (no URL
// type, an empty text, or a link whose scheme is not one of those above). A link without a
// scheme is a web address.
std::string CardItemUrl(TFineCardItemURLType type, const std::string& text);

}  // namespace cardlist
