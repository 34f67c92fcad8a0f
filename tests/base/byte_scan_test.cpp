// The shared byte scanner against a plain reading of its classes: the
// 16-byte lanes, the 64-byte blocks and the bounded scans give the first
// byte of a class that a byte-by-byte look gives, wherever the text, the
// stop and the readable end fall.
#include "base/byte_scan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace zorvika {
namespace {

// Each class by the words that describe it, not by the scanner's tables.
bool plainlyOf(ByteClass c, unsigned char b)
{
    const bool letter = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
    const bool name = letter || (b >= '0' && b <= '9') || b == '_' || b >= 0x80;
    switch (c) {
    case ByteClass::Cr: return b == '\r';
    case ByteClass::Lf: return b == '\n';
    case ByteClass::LineEnd: return b == '\r' || b == '\n';
    case ByteClass::Blank: return b == ' ' || b == '\t';
    case ByteClass::NonBlank: return b != ' ' && b != '\t';
    case ByteClass::Apostrophe: return b == '\'';
    case ByteClass::LetterA: return b == 'a' || b == 'A';
    case ByteClass::NonName: return !name;
    case ByteClass::Special: return b == ':' || b == '"' || b == '\'';
    case ByteClass::Stop: return b == '\r' || b == '\n' || b == ':' || b == '"' || b == '\'';
    }
    return false;
}

std::size_t plainNext(ByteClass c, const std::string& text, std::size_t from, std::size_t stop)
{
    while (from < stop && !plainlyOf(c, static_cast<unsigned char>(text[from])))
        ++from;
    return from;
}

template <ByteClass c>
void checkClass(const std::string& text, std::mt19937& random)
{
    const char* const base = text.data();
    const std::size_t n = text.size();
    for (int round = 0; round < 200; ++round) {
        const std::size_t from = random() % (n + 1);
        const std::size_t stop = from + random() % (n - from + 1);
        const std::size_t limit = stop + random() % (n - stop + 1);
        SCOPED_TRACE(testing::Message() << "class " << static_cast<int>(c) << " from " << from << " stop " << stop
                                        << " limit " << limit);
        EXPECT_EQ(nextOfClass<c>(base + from, base + n) - base, static_cast<std::ptrdiff_t>(plainNext(c, text, from, n)));
        EXPECT_EQ(nextOfClassWithin<c>(base + from, base + stop, base + limit) - base,
                  static_cast<std::ptrdiff_t>(plainNext(c, text, from, stop)));
    }
    for (std::size_t at = 0; at + 64 <= n; at += 64) {
        std::uint64_t expected = 0;
        for (int i = 0; i < 64; ++i)
            expected |= plainlyOf(c, static_cast<unsigned char>(text[at + i])) ? std::uint64_t{1} << i : 0;
        ASSERT_EQ(ByteBlock(base + at).mask<c>(), expected) << "block at " << at;
    }
}

TEST(ByteScan, EveryScanFindsTheFirstByteOfItsClassAsAPlainLookDoes)
{
    std::mt19937 random(7);
    // Texts of few kinds of bytes (so that runs and hits of each class occur
    // at every offset of a lane) and of every byte value.
    const std::string alphabets[] = {"ab \t\r\n:\"'_9\x80\xff", " \t", "aAbz_09", std::string("\0\x7f\x80!#$%&@[", 11)};
    for (const std::string& alphabet : alphabets) {
        for (std::size_t length : {0u, 1u, 15u, 16u, 17u, 63u, 64u, 65u, 300u}) {
            std::string text;
            for (std::size_t i = 0; i < length; ++i)
                text += alphabet[random() % alphabet.size()];
            checkClass<ByteClass::Cr>(text, random);
            checkClass<ByteClass::Lf>(text, random);
            checkClass<ByteClass::LineEnd>(text, random);
            checkClass<ByteClass::Blank>(text, random);
            checkClass<ByteClass::NonBlank>(text, random);
            checkClass<ByteClass::Apostrophe>(text, random);
            checkClass<ByteClass::LetterA>(text, random);
            checkClass<ByteClass::NonName>(text, random);
            checkClass<ByteClass::Special>(text, random);
            checkClass<ByteClass::Stop>(text, random);
        }
    }
    std::string every;
    for (int b = 0; b < 256; ++b)
        every += static_cast<char>(b);
    checkClass<ByteClass::NonName>(every, random);
    checkClass<ByteClass::LetterA>(every, random);
    checkClass<ByteClass::Stop>(every, random);
}

} // namespace
} // namespace zorvika
