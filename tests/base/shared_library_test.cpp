// The one loader of optional libraries, which libgit2 and libxlsxwriter
// are loaded through: the functions it binds can be called, and a missing
// library or function gives the line the user reads, word for word.
#include "base/shared_library.h"

#include <gtest/gtest.h>

#include <string>

namespace zorvika {
namespace {

constexpr const char* kMath = "libm.so.6";

TEST(SharedLibrary, BindsEveryFunctionItIsGiven)
{
    double (*cosine)(double) = nullptr;
    double (*squareRoot)(double) = nullptr;
    const Outcome loaded = loadLibraryFunctions(kMath, "libc6", {{"cos", cosine}, {"sqrt", squareRoot}});
    ASSERT_TRUE(loaded) << loaded.reason();
    ASSERT_NE(cosine, nullptr);
    ASSERT_NE(squareRoot, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(squareRoot(81.0), 9.0);
}

TEST(SharedLibrary, AMissingLibraryOrFunctionIsNamedInTheUsersWords)
{
    double (*cosine)(double) = nullptr;
    int (*absent)(int) = nullptr;
    int (*alsoAbsent)(int) = nullptr;
    struct Case {
        const char* soname;
        const char* package;
        std::string expectedStart; // the system's own reason follows a missing library's line
        bool exact;
    } const cases[] = {
        {"libzorvika-absent.so.7", "zorvika-absent",
         "the library libzorvika-absent.so.7 cannot be loaded (it comes with the package zorvika-absent): "
         "libzorvika-absent.so.7: ",
         false},
        {"libzorvika-absent.so.7", "", "the library libzorvika-absent.so.7 cannot be loaded: libzorvika-absent.so.7: ",
         false},
        {"libzorvika-absent.so.7", nullptr,
         "the library libzorvika-absent.so.7 cannot be loaded: libzorvika-absent.so.7: ", false},
        // The first function missing is named, and only that one.
        {kMath, "libc6", "the library libm.so.6 lacks zorvika_absent_function", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedStart);
        const Outcome loaded = loadLibraryFunctions(
            c.soname, c.package,
            {{"cos", cosine}, {"zorvika_absent_function", absent}, {"zorvika_other_absent_function", alsoAbsent}});
        ASSERT_FALSE(loaded);
        if (c.exact)
            EXPECT_EQ(loaded.reason(), c.expectedStart);
        else
            EXPECT_EQ(loaded.reason().substr(0, c.expectedStart.size()), c.expectedStart) << loaded.reason();
        EXPECT_EQ(absent, nullptr);
        EXPECT_EQ(alsoAbsent, nullptr);
    }
}

} // namespace
} // namespace zorvika
