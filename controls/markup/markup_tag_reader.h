// Reading the markup's tags: a tag's name and whether it closes, and its attributes' values.
// Names and attribute names are matched in any letter case.
#pragma once

#include <string>

namespace panel::markup {

// A tag as written and upper-cased; `name` is the tag's word after "<" or "</".
struct Tag {
    std::string raw;
    std::string upper;
    bool closing = false;
    std::string name;
};

Tag ParseTag(const std::string& raw);

// Whether the tag names attribute `name` (preceded by a blank, followed by a blank, "=", ">" or
// "/").
bool HasAttribute(const Tag& tag, const std::string& name);

// The attribute's value between double quotes (or up to a blank or ">" without them), as
// written or upper-cased; empty when the tag lacks it.
std::string Attribute(const Tag& tag, const std::string& name, bool upper = false);

// The text between the tag's first two double quotes.
std::string FirstQuoted(const std::string& raw);

// Whether `value` is a whole decimal number, then in `n`.
bool WholeNumber(const std::string& value, int& n);

}  // namespace panel::markup
