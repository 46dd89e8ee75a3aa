#include "cli/TopLevel.h"

#include <QStringList>

#include <gtest/gtest.h>
#include <stdexcept>

namespace zot {
namespace {

struct EscapeCase {
    const char* name;
    std::function<int()> command;
    const char* line; // nullptr: nothing printed
    int status;
};

void PrintTo(const EscapeCase& c, std::ostream* os) {
    *os << c.name;
}

class RunGuardedTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(RunGuardedTest, EndsEveryEscapeWithOneLineAndStatusOne) {
    const EscapeCase& c = GetParam();
    QStringList lines;
    const int status = runGuarded(c.command, [&lines](const QString& l) { lines << l; });
    EXPECT_EQ(status, c.status);
    if (c.line)
        EXPECT_EQ(lines, QStringList{QString::fromUtf8(c.line)});
    else
        EXPECT_TRUE(lines.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, RunGuardedTest,
    ::testing::Values(
        EscapeCase{"Returns", [] { return 2; }, nullptr, 2},
        EscapeCase{"OwnError",
                   []() -> int { throw Error::cannotOpenFile(QStringLiteral("/x/script.zot")); },
                   "Zotmaker: Cannot open file /x/script.zot.", 1},
        EscapeCase{"OutOfMemory", []() -> int { throw std::bad_alloc(); },
                   "Zotmaker: Out of memory.", 1},
        EscapeCase{"StandardException", []() -> int { throw std::length_error("vector too long"); },
                   "Zotmaker: vector too long.", 1},
        EscapeCase{"Anything", []() -> int { throw 42; }, "Zotmaker: Unexpected error.", 1}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace zot
