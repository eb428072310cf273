// The markup's entities and its plain-text form.
#pragma once

#include <string>

namespace panel {

// One round over the whole text of the entities replaced before layout: "&amp;" becomes "&&"
// (one drawn ampersand), "&quot;" a double quote, and "&sect;" "&permil;" "&reg;" "&copy;"
// "&para;" "&trade;" "&euro;" their characters. Returns whether anything changed.
bool ReplaceMarkupEntities(std::string& text);

// The entities replaced inside a run, after the text is split into runs and tags so that they
// never start a tag: "&nbsp;" a blank, "&lt;" "<", "&gt;" ">".
std::string ReplaceRunEntities(const std::string& run);

// The text without markup: "<BR>" and "<HR>" (any case) become a line break (CR LF), hidden parts
// "<z>"..."</z>" and "<Z>"..."</Z>" go with their tags, every other tag goes. From a "<" without
// a ">" after it the rest of the text is kept unchanged.
std::string MarkupToPlainText(const std::string& text);

// A number in the markup (attribute values, "IDX:" sources): the value's leading decimal digits,
// 0 when it does not start with one; values beyond a million are taken as a million.
int MarkupNumber(const std::string& value);

}  // namespace panel
