// The findings of any page: each with its headline, the windows it is about and its advice.
#pragma once

#include "report/analysis/Finding.h"
#include "report/model/LoggedWindow.h"
#include "report/page/Markup.h"

#include <string_view>
#include <vector>

namespace report {

// What a page says of one kind of finding.
struct FindingWords {
    Literal headline;
    Literal advice;
    bool namesTitleLimit = false; // the headline is followed by the most characters a title holds
};

// Where "… and 3 more" leads: to the page's table of windows, or to the row of the first window
// not named.
enum class MoreLink { Table, NextRow };

// The most windows a finding names; the rest it counts and leaves to the table.
constexpr std::size_t kMostNamedPerFinding = 10;

// A kind's words, as a row of a page's table of them.
template <class Kind>
struct FindingRow {
    Kind kind;
    FindingWords words;
};

// Whether a table of words has one row per kind, in the kinds' order, so that a kind indexes it.
template <class Row, std::size_t N>
constexpr bool InKindOrder(const Row (&rows)[N], std::size_t kinds)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(rows[i].kind) != i) return false;
    }
    return N == kinds;
}

void WriteFinding(Markup& page, const FindingWords& words, std::string_view subject,
                  const std::vector<std::size_t>& windows, const std::vector<LoggedWindow>& records, MoreLink more);

// Each finding with the words WordsOf gives its kind; "Nothing unusual." when there is none.
template <class Kind>
void WriteFindings(Markup& page, const std::vector<Finding<Kind>>& findings, const std::vector<LoggedWindow>& records,
                   MoreLink more)
{
    if (findings.empty()) page.Tag("<p>Nothing unusual.</p>");
    for (const Finding<Kind>& finding : findings) {
        WriteFinding(page, WordsOf(finding.kind), finding.subject, finding.windows, records, more);
    }
}

} // namespace report
