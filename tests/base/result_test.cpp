#include "base/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zorvika {
namespace {

enum class Why { Missing, Unreadable };

Result<int, Why> parse(const std::string& text)
{
    if (text.empty())
        return fail(Why::Missing, "");
    if (text.find_first_not_of("0123456789") != std::string::npos)
        return fail(Why::Unreadable, text + ": not a number");
    return std::stoi(text);
}

// What a caller passes on: the same kind and reason, whatever value it holds.
Result<std::string, Why> doubled(const std::string& text)
{
    auto number = parse(text);
    if (!number)
        return Result<std::string, Why>::failureOf(number);
    return std::to_string(*number * 2);
}

TEST(ResultType, CarriesTheValueOrTheKindAndReasonThroughEveryCaller)
{
    struct Case {
        std::string text;
        bool ok;
        Why kind;
        std::string reasonOrValue;
    } const cases[] = {
        {"21", true, Why::Missing, "42"},
        {"", false, Why::Missing, "failed"}, // an empty reason never reaches a user
        {"4x", false, Why::Unreadable, "4x: not a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto result = doubled(c.text);
        ASSERT_EQ(result.ok(), c.ok);
        if (c.ok) {
            EXPECT_EQ(*result, c.reasonOrValue);
            EXPECT_EQ(result.reason(), "");
        } else {
            EXPECT_EQ(result.kind(), c.kind);
            EXPECT_EQ(result.reason(), c.reasonOrValue);
        }
    }
}

TEST(ResultType, AnOutcomeIsSuccessUntilItFails)
{
    Outcome done;
    EXPECT_TRUE(done.ok());
    EXPECT_EQ(done.reason(), "");
    const Outcome failed = Outcome::failure("");
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.reason(), "failed");
    Result<void, Why> missing = fail(Why::Missing, "list.csv: gone");
    EXPECT_EQ(missing.kind(), Why::Missing);
    EXPECT_EQ(missing.reason(), "list.csv: gone");
}

TEST(ResultType, HoldsValuesThatCanOnlyBeMoved)
{
    Result<std::unique_ptr<int>> held = std::make_unique<int>(7);
    ASSERT_TRUE(held);
    const auto taken = std::move(held).value();
    EXPECT_EQ(*taken, 7);
}

// A reason passed up through callers that name what failed keeps the
// system's words apart, so that a face can say them in its own table.
TEST(ResultType, TheSystemsWordsStayFindableThroughEveryNaming)
{
    const Failure<> system = fail(Cause::DiskFull, "No space left on device");
    const auto named = system.about("list.csv").as(Why::Unreadable).about("export");
    EXPECT_EQ(named.kind, Why::Unreadable);
    EXPECT_EQ(named.reason, "export: list.csv: No space left on device");
    EXPECT_EQ(named.cause, Cause::DiskFull);
    EXPECT_EQ(named.reasonSaying("Datentr\xc3\xa4ger voll"), "export: list.csv: Datentr\xc3\xa4ger voll");
    // Without a known cause the reason is said as it is.
    EXPECT_EQ(fail("x.csv: odd").about("export").reasonSaying("voll"), "export: x.csv: odd");
}

} // namespace
} // namespace zorvika
