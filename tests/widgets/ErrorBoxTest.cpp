#include "widgets/ErrorBox.h"
#include "platform/Error.h"
#include "support/WindowFixture.h"

#include <functional>
#include <stdexcept>

namespace zot::test {
namespace {

struct FailureCase {
    const char* name;
    std::function<void()> action;
    QStringList shown;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class GuardedAction : public ::testing::TestWithParam<FailureCase> {};

TEST_P(GuardedAction, EndsInOneErrorBox) {
    ErrorBoxRecorder recorder;
    EXPECT_NO_THROW(runGuarded(GetParam().action));
    EXPECT_EQ(recorder.texts, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuardedAction,
    ::testing::Values(FailureCase{"Succeeds", [] {}, {}},
                      FailureCase{
                          "FullStopAdded",
                          [] { throw Error::cannotOpenFile(QStringLiteral("zot-about.rtf")); },
                          {QStringLiteral("Cannot open file zot-about.rtf.")}},
                      FailureCase{"QuoteGetsAFullStop",
                                  [] { throw Error::invalidInteger(QStringLiteral("12px")); },
                                  {QStringLiteral("'12px' is not a valid integer value.")}},
                      FailureCase{"EndingInAFullStopAlready",
                                  [] { throw Error(QStringLiteral("Done.")); },
                                  {QStringLiteral("Done.")}},
                      FailureCase{"EndingBelowTheFullStop",
                                  [] { throw Error(QStringLiteral("Why -")); },
                                  {QStringLiteral("Why -")}},
                      FailureCase{"OtherExceptions",
                                  [] { throw std::runtime_error("disk on fire"); },
                                  {QStringLiteral("disk on fire.")}}),
    [](const ::testing::TestParamInfo<FailureCase>& p) { return std::string(p.param.name); });

TEST(ErrorBoxHandler, RecordersNestAndRestore) {
    ErrorBoxRecorder outer;
    {
        ErrorBoxRecorder inner;
        showErrorBox(QStringLiteral("inner"));
        EXPECT_EQ(inner.texts, QStringList{QStringLiteral("inner.")});
    }
    showErrorBox(QStringLiteral("outer"));
    EXPECT_EQ(outer.texts, QStringList{QStringLiteral("outer.")});
}

} // namespace
} // namespace zot::test
