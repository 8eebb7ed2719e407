// Laying a verification record out on printed pages, in whatever units the caller measures
// in: which blocks go on which page, and how wide the parameter table's columns are. The
// window measures the texts with its fonts and paints what is decided here, so that the
// preview, the printer and the PDF file break the pages in the same places.
#pragma once

#include <cstddef>
#include <vector>

namespace norvane {

// One block of the record in reading order: a heading, a line of facts, a row of the
// parameter table, the signature block. A block is never split across pages.
struct PageBlock {
    double height = 0;
    bool tableRow = false;      // a page that holds table rows repeats the table's head first
    bool keepWithNext = false;  // never the last block of a page (headings, the CRC)
};

// The blocks [begin, end) of one page; `head` when the table's head row stands before the
// first table row of the page.
struct PageSpan {
    size_t begin = 0;
    size_t end = 0;
    bool head = false;
};

// Fills pages of `pageHeight` in order. A block goes to the next page when it, or the chain of
// blocks it is kept with, does not fit on the rest of the page; a chain longer than a whole
// page is broken where it must be. A single block higher than a page gets a page to itself.
// Every page holds at least one block; no blocks give no pages.
std::vector<PageSpan> PaginateBlocks(const std::vector<PageBlock>& blocks, double pageHeight,
                                     double headHeight);

// What a column's texts need: `natural` to show each on one line, `minimum` for its longest
// word (a number is one word).
struct ColumnNeed {
    double natural = 0;
    double minimum = 0;
};

// Widths of the table's columns adding up to `total`. Every column gets its longest word;
// then the columns after the first get their whole lines (each at most `share` of the total,
// unless its longest word needs more); the first column, the names, takes all the rest. When
// not even the longest words fit, every column shrinks in proportion to them.
std::vector<double> SizeColumns(const std::vector<ColumnNeed>& needs, double total, double share);

}  // namespace norvane
