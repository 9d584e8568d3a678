// The shape every page has, whatever it is made from: the head with its style sheet and its
// Content-Security-Policy, a headline, the summary, then sections, each under a heading of its
// own (the findings first), and the closing words. A kind of input brings its own parts and
// words; the scaffolding is here once.
#pragma once

#include "report/page/Markup.h"
#include "report/page/Palette.h"

#include <functional>
#include <string_view>
#include <vector>

namespace report {

struct PageSection {
    Literal id;      // the heading's anchor: "map"
    Literal heading; // "Desktop map"
    std::function<void(Markup&)> write;
};

struct PageOutline {
    std::string_view name;                 // UTF-8: what the page's title names
    Literal style;                         // the rules that a page of this kind adds to the style sheet
    std::function<void(Markup&)> headline; // the first heading's content
    std::function<void(Markup&)> summary;  // the summary's terms and descriptions
    std::vector<PageSection> sections;     // in the order shown
};

// Writes the page to `out` as it is made: UTF-8, styles inline, pictures as inline SVG, no script
// and no external resource; one style class per program of `palette`.
void WritePageOf(const PageOutline& outline, const Palette& palette, ByteSink& out);

} // namespace report
