#include "report/record_pages.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace norvane {
namespace {

bool NeedsHead(const std::vector<PageBlock>& blocks, size_t i, size_t pageBegin) {
    return blocks[i].tableRow && (i == pageBegin || !blocks[i - 1].tableRow);
}

// The height that blocks [first, last] take on a page that begins with block `pageBegin`.
double Height(const std::vector<PageBlock>& blocks, size_t first, size_t last, size_t pageBegin,
              double head) {
    double height = 0;
    for (size_t i = first; i <= last; ++i) {
        height += blocks[i].height + (NeedsHead(blocks, i, pageBegin) ? head : 0);
    }
    return height;
}

// Random records: runs of facts, headings kept with what follows, one or more table runs, a
// tall signature block at the end, now and then a block taller than a page.
std::vector<PageBlock> RandomBlocks(std::mt19937& random, double pageHeight) {
    std::vector<PageBlock> blocks;
    const size_t count = random() % 90;
    for (size_t i = 0; i < count; ++i) {
        PageBlock block;
        const auto kind = random() % 10;
        block.height = 1 + static_cast<double>(random() % 60);
        if (kind == 0) {
            block.height = pageHeight * (0.2 + static_cast<double>(random() % 100) / 100.0);
        }
        block.tableRow = kind >= 4;
        block.keepWithNext = kind == 1 || kind == 2 || (kind == 3 && random() % 4 == 0);
        blocks.push_back(block);
    }
    return blocks;
}

TEST(RecordPages, EveryBlockOnceInOrderWithTheHeadAndTheChainsKept) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        const double pageHeight = 100 + static_cast<double>(random() % 400);
        const auto head = static_cast<double>(random() % 30);
        const std::vector<PageBlock> blocks = RandomBlocks(random, pageHeight);
        const std::vector<PageSpan> pages = PaginateBlocks(blocks, pageHeight, head);
        SCOPED_TRACE("round " + std::to_string(round));

        // The pages divide the blocks in order, none empty.
        size_t next = 0;
        for (const PageSpan& page : pages) {
            ASSERT_EQ(page.begin, next);
            ASSERT_LT(page.begin, page.end);
            next = page.end;
        }
        ASSERT_EQ(next, blocks.size());

        for (size_t p = 0; p < pages.size(); ++p) {
            const PageSpan& page = pages[p];
            // The head stands on every page with table rows, and only there.
            bool rows = false;
            for (size_t i = page.begin; i < page.end; ++i) {
                rows = rows || blocks[i].tableRow;
            }
            EXPECT_EQ(page.head, rows);
            // A page overflows only with a single block that is taller than any page.
            const double used = Height(blocks, page.begin, page.end - 1, page.begin, head);
            if (page.end - page.begin > 1) {
                EXPECT_LE(used, pageHeight);
            }
            if (p + 1 == pages.size()) {
                continue;
            }
            // A page ends only when the next block and the blocks kept with it do not fit.
            size_t last = page.end;
            while (last + 1 < blocks.size() && blocks[last].keepWithNext) {
                ++last;
            }
            EXPECT_GT(used + Height(blocks, page.end, last, page.begin, head), pageHeight);
            // A kept block ends a page only when its whole chain is taller than a page.
            if (blocks[page.end - 1].keepWithNext) {
                size_t first = page.end - 1;
                while (first > 0 && blocks[first - 1].keepWithNext) {
                    --first;
                }
                EXPECT_GT(Height(blocks, first, last, first, head), pageHeight);
            }
        }
    }
}

TEST(RecordPages, ColumnsFillTheWidthNumbersStayWholeNamesTakeTheRest) {
    std::mt19937 random(42);
    for (int round = 0; round < 3000; ++round) {
        const double total = 100 + static_cast<double>(random() % 900);
        const double share = 0.3;
        std::vector<ColumnNeed> needs(1 + random() % 5);
        for (ColumnNeed& need : needs) {
            need.minimum = static_cast<double>(random() % 200);
            need.natural = need.minimum + static_cast<double>(random() % 400);
        }
        const std::vector<double> widths = SizeColumns(needs, total, share);
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(widths.size(), needs.size());
        EXPECT_NEAR(std::accumulate(widths.begin(), widths.end(), 0.0), total, 1e-6);

        double words = 0;
        for (const ColumnNeed& need : needs) {
            words += need.minimum;
        }
        if (words >= total) {
            // Too narrow even for the longest words: all shrink alike.
            for (size_t i = 0; i < needs.size(); ++i) {
                EXPECT_NEAR(
                    widths[i],
                    words > 0 ? total * needs[i].minimum / words : total / double(needs.size()),
                    1e-6);
            }
            continue;
        }
        double lines = words;
        for (size_t i = 0; i < needs.size(); ++i) {
            EXPECT_GE(widths[i], needs[i].minimum - 1e-9) << i;
            if (i > 0) {
                const double wanted =
                    std::max(std::min(needs[i].natural, total * share), needs[i].minimum);
                EXPECT_LE(widths[i], wanted + 1e-9) << i;
                lines += wanted - needs[i].minimum;
            }
        }
        if (lines <= total) {
            // Room for every short column's lines: each has them, the names the rest.
            for (size_t i = 1; i < needs.size(); ++i) {
                EXPECT_NEAR(widths[i],
                            std::max(std::min(needs[i].natural, total * share), needs[i].minimum),
                            1e-9);
            }
            EXPECT_NEAR(widths[0], total - (lines - needs[0].minimum), 1e-6);
        }
    }
}

TEST(RecordPages, NothingToLayOut) {
    EXPECT_TRUE(PaginateBlocks({}, 100, 10).empty());
    EXPECT_TRUE(SizeColumns({}, 100, 0.3).empty());
}

}  // namespace
}  // namespace norvane
