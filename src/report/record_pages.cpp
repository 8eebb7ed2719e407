#include "report/record_pages.h"

#include <algorithm>
#include <numeric>

namespace norvane {

namespace {

// Whether block `i` has the table head above it: a table row at the top of a page or after
// something that is no table row.
bool NeedsHead(const std::vector<PageBlock>& blocks, size_t i, bool atTop) {
    return blocks[i].tableRow && (atTop || !blocks[i - 1].tableRow);
}

// The height that blocks [first, last] take, `first` at the top of a page or not: their own
// heights and the table head wherever one is needed.
double ChainHeight(const std::vector<PageBlock>& blocks, size_t first, size_t last, bool atTop,
                   double headHeight) {
    double height = 0;
    for (size_t i = first; i <= last; ++i) {
        height += blocks[i].height + (NeedsHead(blocks, i, atTop && i == first) ? headHeight : 0);
    }
    return height;
}

}  // namespace

std::vector<PageSpan> PaginateBlocks(const std::vector<PageBlock>& blocks, double pageHeight,
                                     double headHeight) {
    std::vector<PageSpan> pages;
    double used = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        // The chain: this block and every block it is kept with.
        size_t last = i;
        while (last + 1 < blocks.size() && blocks[last].keepWithNext) {
            ++last;
        }
        if (pages.empty() || used + ChainHeight(blocks, i, last, false, headHeight) > pageHeight) {
            pages.push_back({i, i, false});
            used = 0;
        }
        PageSpan& page = pages.back();
        const bool head = NeedsHead(blocks, i, page.begin == i);
        page.head = page.head || head;
        used += blocks[i].height + (head ? headHeight : 0);
        page.end = i + 1;
    }
    return pages;
}

std::vector<double> SizeColumns(const std::vector<ColumnNeed>& needs, double total, double share) {
    std::vector<double> widths(needs.size(), 0);
    if (needs.empty()) {
        return widths;
    }
    const double words = std::accumulate(
        needs.begin(), needs.end(), 0.0,
        [](double sum, const ColumnNeed& need) { return sum + std::max(need.minimum, 0.0); });
    if (words >= total) {
        for (size_t i = 0; i < needs.size(); ++i) {
            widths[i] = words > 0 ? total * std::max(needs[i].minimum, 0.0) / words
                                  : total / static_cast<double>(needs.size());
        }
        return widths;
    }
    double left = total - words;
    for (size_t i = 0; i < needs.size(); ++i) {
        widths[i] = std::max(needs[i].minimum, 0.0);
    }
    // The short columns first, left to right: their whole lines, within their share.
    for (size_t i = 1; i < needs.size() && left > 0; ++i) {
        const double wanted = std::max(std::min(needs[i].natural, total * share), widths[i]);
        const double more = std::min(wanted - widths[i], left);
        widths[i] += more;
        left -= more;
    }
    widths[0] += left;
    return widths;
}

}  // namespace norvane
