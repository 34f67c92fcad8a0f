#pragma once
// The byte scanner every reader of module text shares: the classes of bytes
// that lines, blanks, names and the lexer's stops are made of, and the
// scans that look for them 16 bytes at a time (SSE2 where the build has it,
// byte by byte otherwise; both give the same answers).
#include <array>
#include <cstddef>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zorvika {

// The classes a byte is looked up in, one bit each.
enum : std::uint8_t {
    kNameByte = 1,          // letters, digits, `_` and every byte from 0x80 on
    kNameStart = 2,         // letters and every byte from 0x80 on
    kBlankByte = 4,         // tab and space
    kLexerStop = 8,         // `:`, `"` and `'`: separators, strings and comments
    kTypeMark = 16,         // `$ % & @`, which may end a name
    kTypeMarkBeforeName = 32 // `! #`, which end a name only where no name follows
};

constexpr std::array<std::uint8_t, 256> makeByteClasses()
{
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
        if (letter)
            t[static_cast<std::size_t>(c)] |= kNameByte | kNameStart;
        if ((c >= '0' && c <= '9') || c == '_')
            t[static_cast<std::size_t>(c)] |= kNameByte;
    }
    t[' '] = t['\t'] = kBlankByte;
    t[':'] = t['"'] = t['\''] = kLexerStop;
    t['$'] = t['%'] = t['&'] = t['@'] = kTypeMark;
    t['!'] = t['#'] = kTypeMarkBeforeName;
    return t;
}
inline constexpr std::array<std::uint8_t, 256> kByteClasses = makeByteClasses();

constexpr std::uint8_t byteClassOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }
constexpr bool isBlankByte(char c) { return c == ' ' || c == '\t'; }
constexpr bool isNameByte(char c) { return byteClassOf(c) & kNameByte; }
constexpr bool isNameStart(char c) { return byteClassOf(c) & kNameStart; }

// What a scan looks for.
enum class ByteClass {
    Cr,
    Lf,
    LineEnd,    // CR or LF
    Blank,      // tab or space
    NonBlank,   // anything but tab and space (so also a line end)
    Apostrophe, // `'`
    LetterA,    // `a` or `A`
    NonName,    // a byte that cannot be part of a name (so also a line end)
    Special,    // `:`, `"` or `'`
    Stop,       // a line end, `:`, `"` or `'`
};

template <ByteClass c>
constexpr bool isOfClass(char b)
{
    const bool lineEnd = b == '\r' || b == '\n';
    switch (c) {
    case ByteClass::Cr: return b == '\r';
    case ByteClass::Lf: return b == '\n';
    case ByteClass::LineEnd: return lineEnd;
    case ByteClass::Blank: return isBlankByte(b);
    case ByteClass::NonBlank: return !isBlankByte(b);
    case ByteClass::Apostrophe: return b == '\'';
    case ByteClass::LetterA: return (b | 0x20) == 'a';
    case ByteClass::NonName: return !isNameByte(b);
    case ByteClass::Special: return (byteClassOf(b) & kLexerStop) != 0;
    case ByteClass::Stop: return lineEnd || (byteClassOf(b) & kLexerStop) != 0;
    }
    return true;
}

// Sixteen bytes of a text, loaded once and asked for the bytes of any class.
class ByteLane {
public:
    static constexpr std::ptrdiff_t kWidth = 16;

    // Reads the 16 bytes at p (all of them must be readable).
    explicit ByteLane(const char* p)
#if defined(__SSE2__)
        : v_(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)))
#else
        : p_(p)
#endif
    {
    }

    // Bit i set: byte i is of the class.
    template <ByteClass c>
    unsigned mask() const
    {
#if defined(__SSE2__)
        return static_cast<unsigned>(_mm_movemask_epi8(marked<c>()));
#else
        unsigned m = 0;
        for (int i = 0; i < kWidth; ++i)
            m |= isOfClass<c>(p_[i]) ? 1u << i : 0u;
        return m;
#endif
    }

private:
#if defined(__SSE2__)
    __m128i is(char b) const { return _mm_cmpeq_epi8(v_, _mm_set1_epi8(b)); }

    // The bytes that can be part of a name: letters, digits, `_`, and every
    // byte from 0x80 on (which carries its sign bit into a mask as it is).
    __m128i nameBytes() const
    {
        // A byte b is in [lo, lo + width) when b - lo, taken without sign, is
        // below width: shifted by 0x80 the comparison is a signed one.
        const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
        const __m128i letter = _mm_cmplt_epi8(
            _mm_xor_si128(_mm_sub_epi8(_mm_or_si128(v_, _mm_set1_epi8(0x20)), _mm_set1_epi8('a')), bias),
            _mm_set1_epi8(static_cast<char>(26 - 0x80)));
        const __m128i digit = _mm_cmplt_epi8(_mm_xor_si128(_mm_sub_epi8(v_, _mm_set1_epi8('0')), bias),
                                             _mm_set1_epi8(static_cast<char>(10 - 0x80)));
        const __m128i high = _mm_cmplt_epi8(v_, _mm_setzero_si128());
        return _mm_or_si128(_mm_or_si128(letter, digit), _mm_or_si128(is('_'), high));
    }

    template <ByteClass c>
    __m128i marked() const
    {
        const __m128i ones = _mm_set1_epi8(static_cast<char>(0xFF));
        switch (c) {
        case ByteClass::Cr: return is('\r');
        case ByteClass::Lf: return is('\n');
        case ByteClass::LineEnd: return _mm_or_si128(is('\r'), is('\n'));
        case ByteClass::Blank: return _mm_or_si128(is(' '), is('\t'));
        case ByteClass::NonBlank: return _mm_xor_si128(_mm_or_si128(is(' '), is('\t')), ones);
        case ByteClass::Apostrophe: return is('\'');
        case ByteClass::LetterA: return _mm_cmpeq_epi8(_mm_or_si128(v_, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
        case ByteClass::NonName: return _mm_xor_si128(nameBytes(), ones);
        case ByteClass::Special: return _mm_or_si128(_mm_or_si128(is(':'), is('"')), is('\''));
        case ByteClass::Stop:
            return _mm_or_si128(_mm_or_si128(is('\r'), is('\n')), _mm_or_si128(is(':'), _mm_or_si128(is('"'), is('\''))));
        }
        return ones;
    }

    __m128i v_;
#else
    const char* p_;
#endif
};

// The first byte of the class at or after p, or `end`.
template <ByteClass c>
inline const char* nextOfClass(const char* p, const char* end)
{
    while (end - p >= ByteLane::kWidth) {
        if (const unsigned hits = ByteLane(p).mask<c>())
            return p + __builtin_ctz(hits);
        p += ByteLane::kWidth;
    }
    while (p < end && !isOfClass<c>(*p))
        ++p;
    return p;
}

// The first byte of the class in [p, stop), or `stop`; the scan may read the
// text on up to `limit` (the end of the text that holds [p, stop)), so that
// a short stretch needs no byte-by-byte tail. Bytes past `stop` never decide
// anything.
template <ByteClass c>
inline const char* nextOfClassWithin(const char* p, const char* stop, const char* limit)
{
    while (p < stop && limit - p >= ByteLane::kWidth) {
        if (const unsigned hits = ByteLane(p).mask<c>()) {
            const char* hit = p + __builtin_ctz(hits);
            return hit < stop ? hit : stop;
        }
        p += ByteLane::kWidth;
    }
    while (p < stop && !isOfClass<c>(*p))
        ++p;
    return p < stop ? p : stop;
}

// Four lanes: bit i of a mask for byte i of 64.
class ByteBlock {
public:
    static constexpr std::ptrdiff_t kWidth = 64;

    explicit ByteBlock(const char* p) : a_(p), b_(p + 16), c_(p + 32), d_(p + 48) {}

    // Written out lane by lane: a loop over them is not unrolled at -O2,
    // and the lanes then go through memory, a third slower.
    template <ByteClass c>
    std::uint64_t mask() const
    {
        return static_cast<std::uint64_t>(a_.mask<c>()) | static_cast<std::uint64_t>(b_.mask<c>()) << 16
               | static_cast<std::uint64_t>(c_.mask<c>()) << 32 | static_cast<std::uint64_t>(d_.mask<c>()) << 48;
    }

private:
    ByteLane a_, b_, c_, d_;
};

} // namespace zorvika
