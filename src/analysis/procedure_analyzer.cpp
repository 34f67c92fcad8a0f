#include "analysis/procedure_metrics.h"

#include "analysis/line_counter.h"
#include "base/line_reader.h"
#include "base/text_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zorvika {

namespace {

enum class Tok : std::uint8_t { Word, Member, Number, String, Date, Colon, Assign, Comma, Dot, Hash, Other };

// Character classes of the lexer, looked up in one table.
enum : std::uint8_t { kIdent = 1, kIdentStart = 2, kBlank = 4, kSpecial = 8, kTypeMark = 16, kTypeMarkBeforeName = 32 };

constexpr std::array<std::uint8_t, 256> makeClasses()
{
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
        if (letter)
            t[static_cast<std::size_t>(c)] |= kIdent | kIdentStart;
        if ((c >= '0' && c <= '9') || c == '_')
            t[static_cast<std::size_t>(c)] |= kIdent;
    }
    t[' '] = t['\t'] = kBlank;
    t[':'] = t['"'] = t['\''] = kSpecial; // separators, strings and comments
    // The type characters that may end a name: `$ % & @` always, `! #` only
    // where no name follows them (else they are a member access or a date).
    t['$'] = t['%'] = t['&'] = t['@'] = kTypeMark;
    t['!'] = t['#'] = kTypeMarkBeforeName;
    return t;
}
constexpr std::array<std::uint8_t, 256> kClasses = makeClasses();

inline bool isIdentChar(char c) { return kClasses[static_cast<unsigned char>(c)] & kIdent; }
inline bool isIdentStart(char c) { return kClasses[static_cast<unsigned char>(c)] & kIdentStart; }

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Byte scans over a line, 16 bytes at a time. Each looks in [p, stop) and
// may read the text on up to `limit` (the end of the module's text, which
// holds the line), so that a short line needs no byte-by-byte tail; bytes
// past `stop` never decide anything.
#if defined(__SSE2__)
constexpr std::ptrdiff_t kLanes = 16;

inline const char* firstMarked(const char* p, const char* stop, unsigned mask)
{
    const char* hit = p + __builtin_ctz(mask);
    return hit < stop ? hit : stop;
}

inline __m128i load16(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// The bytes of v that can be part of a name: letters, digits, `_`, and every
// byte from 0x80 on (which carries its sign bit into a mask as it is).
inline __m128i nameBytes(__m128i v)
{
    // A byte b is in [lo, lo + width) when b - lo, taken without sign, is
    // below width: shifted by 0x80 the comparison is a signed one.
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i letterLo = _mm_set1_epi8('a');
    const __m128i letterTop = _mm_set1_epi8(static_cast<char>(26 - 0x80));
    const __m128i digitLo = _mm_set1_epi8('0');
    const __m128i digitTop = _mm_set1_epi8(static_cast<char>(10 - 0x80));
    const __m128i caseBit = _mm_set1_epi8(0x20);
    const __m128i underscore = _mm_set1_epi8('_');
    const __m128i letter =
        _mm_cmplt_epi8(_mm_xor_si128(_mm_sub_epi8(_mm_or_si128(v, caseBit), letterLo), bias), letterTop);
    const __m128i digit = _mm_cmplt_epi8(_mm_xor_si128(_mm_sub_epi8(v, digitLo), bias), digitTop);
    const __m128i high = _mm_cmplt_epi8(v, _mm_setzero_si128());
    return _mm_or_si128(_mm_or_si128(letter, digit), _mm_or_si128(_mm_cmpeq_epi8(v, underscore), high));
}
#endif

// The first byte that is neither tab nor space, or `stop`.
inline const char* skipBlanks(const char* p, const char* stop, const char* limit)
{
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    while (p < stop && limit - p >= kLanes) {
        const __m128i v = load16(p);
        const unsigned blank =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, space), _mm_cmpeq_epi8(v, tab))));
        if (blank != 0xFFFF)
            return firstMarked(p, stop, ~blank & 0xFFFF);
        p += kLanes;
    }
#endif
    while (p < stop && isLineLeadBlank(*p))
        ++p;
    return p < stop ? p : stop;
}

// The first `:`, `"` or `'`, or `stop`.
inline const char* findSpecial(const char* p, const char* stop, const char* limit)
{
#if defined(__SSE2__)
    const __m128i colon = _mm_set1_epi8(':');
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i apostrophe = _mm_set1_epi8('\'');
    while (p < stop && limit - p >= kLanes) {
        const __m128i v = load16(p);
        const unsigned special = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(v, colon), _mm_cmpeq_epi8(v, quote)), _mm_cmpeq_epi8(v, apostrophe))));
        if (special)
            return firstMarked(p, stop, special);
        p += kLanes;
    }
#endif
    while (p < stop && !(kClasses[static_cast<unsigned char>(*p)] & kSpecial))
        ++p;
    return p < stop ? p : stop;
}

// The first byte that cannot be part of a name (letters, digits, `_` and
// every byte from 0x80 on can), or `stop`.
inline const char* skipIdent(const char* p, const char* stop, const char* limit)
{
#if defined(__SSE2__)
    while (p < stop && limit - p >= kLanes) {
        const unsigned inName = static_cast<unsigned>(_mm_movemask_epi8(nameBytes(load16(p))));
        if (inName != 0xFFFF)
            return firstMarked(p, stop, ~inName & 0xFFFF);
        p += kLanes;
    }
#endif
    while (p < stop && isIdentChar(*p))
        ++p;
    return p < stop ? p : stop;
}

// The text between two `#` is a date or time literal when it starts with a
// digit, holds a `/`, `-` or `:`, and nothing but digits, those, spaces,
// dots and the letters of AM and PM.
bool isDateText(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty() || !isDigit(text.front()))
        return false;
    bool separator = false;
    for (char c : text) {
        if (c == '/' || c == '-' || c == ':')
            separator = true;
        else if (!(isDigit(c) || c == ' ' || c == '.' || c == 'a' || c == 'A' || c == 'p' || c == 'P' || c == 'm'
                   || c == 'M'))
            return false;
    }
    return separator;
}

// True when `rest` (the text after a `_`) holds nothing but tabs and spaces.
inline bool onlyBlanks(std::string_view rest)
{
    return std::all_of(rest.begin(), rest.end(), isLineLeadBlank);
}

// A comment or any text up to the line's end continues the logical line
// when it ends in whitespace, `_` and optional whitespace.
bool endsInContinuation(std::string_view text)
{
    std::size_t n = text.size();
    while (n > 0 && isLineLeadBlank(text[n - 1]))
        --n;
    return n >= 2 && text[n - 1] == '_' && isLineLeadBlank(text[n - 2]);
}

// Scans forward over a module's text, 16 bytes at a time, for the next byte
// of a class; near the text's end byte by byte.
class ByteCursor {
public:
    enum Class {
        LineEnd,  // CR or LF
        NonBlank, // anything but tab and space (so also a line end)
        NonName,  // a byte that cannot be part of a name (so also a line end)
        Stop,     // a line end, `:`, `"` or `'`
    };

    // The scans look no further than `end`.
    void setEnd(const char* end) { end_ = end; }
    const char* end() const { return end_; }

    // The first byte at or after p of the class, or the text's end.
    template <Class c>
    const char* next(const char* p) const
    {
#if defined(__SSE2__)
        while (end_ - p >= kLanes) {
            const __m128i v = load16(p);
            const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(marked<c>(v)));
            if (hits)
                return p + __builtin_ctz(hits);
            p += kLanes;
        }
#endif
        while (p < end_ && !isOf<c>(*p))
            ++p;
        return p;
    }

private:
    template <Class c>
    static bool isOf(char b)
    {
        const bool lineEnd = b == '\r' || b == '\n';
        switch (c) {
        case LineEnd: return lineEnd;
        case NonBlank: return !isLineLeadBlank(b);
        case NonName: return !isIdentChar(b);
        case Stop: return lineEnd || b == ':' || b == '"' || b == '\'';
        }
        return true;
    }

#if defined(__SSE2__)
    template <Class c>
    static __m128i marked(__m128i v)
    {
        const __m128i ones = _mm_set1_epi8(static_cast<char>(0xFF));
        auto is = [&](char b) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(b)); };
        switch (c) {
        case LineEnd: return _mm_or_si128(is('\r'), is('\n'));
        case NonBlank: return _mm_xor_si128(_mm_or_si128(is(' '), is('\t')), ones);
        case NonName: return _mm_xor_si128(nameBytes(v), ones);
        case Stop: return _mm_or_si128(_mm_or_si128(is('\r'), is('\n')), _mm_or_si128(is(':'), _mm_or_si128(is('"'), is('\''))));
        }
        return ones;
    }
#endif

    const char* end_ = nullptr;
};

// Words that are statements or parts of them; one of these followed by `:`
// at a line's start is that statement, not a label.
bool isReservedWord(std::string_view w)
{
    static constexpr std::string_view kWords[] = {
        "and", "as", "attribute", "beep", "byref", "byval", "call", "case", "close", "const", "declare", "dim",
        "do", "each", "else", "elseif", "end", "enum", "erase", "error", "event", "exit", "false", "for",
        "friend", "function", "get", "global", "gosub", "goto", "if", "implements", "in", "input", "is", "let",
        "like", "load", "lock", "loop", "me", "mod", "new", "next", "not", "nothing", "on", "open", "option",
        "or", "print", "private", "property", "public", "put", "randomize", "redim", "rem", "reset", "resume",
        "return", "seek", "select", "set", "static", "step", "stop", "sub", "then", "to", "true", "type",
        "unload", "unlock", "until", "wend", "while", "with", "write", "xor"};
    for (std::string_view k : kWords)
        if (equalsNoCase(w, k))
            return true;
    return false;
}

// Words that begin a statement the analysis looks into: blocks, branches,
// loops, headers, ends, declarations, attributes and comments.
bool beginsNotableStatement(std::string_view w)
{
    if (w.size() < 2 || w.size() > 9)
        return false;
    auto word = [&](std::string_view lower) {
        if (w.size() != lower.size())
            return false;
        for (std::size_t i = 1; i < lower.size(); ++i)
            if ((w[i] | 0x20) != lower[i])
                return false;
        return true;
    };
    switch (w[0] | 0x20) {
    case 'a': return word("attribute");
    case 'c': return word("case");
    case 'd': return word("declare") || word("do");
    case 'e': return word("else") || word("elseif") || word("end") || word("event");
    case 'f': return word("for") || word("friend") || word("function");
    case 'g': return word("global");
    case 'i': return word("if");
    case 'l': return word("loop");
    case 'n': return word("next");
    case 'o': return word("on");
    case 'p': return word("private") || word("property") || word("public");
    case 'r': return word("rem");
    case 's': return word("select") || word("static") || word("sub");
    case 'w': return word("wend") || word("while");
    default: return false;
    }
}

// The words the analysis acts on, told once when a word is read.
enum class Kw : std::uint8_t {
    None, And, Attribute, Case, Const, Declare, Do, Else, ElseIf, End, Error, Event, For, Friend, Function, Get,
    Global, GoSub, GoTo, If, Let, Local, Loop, Next, On, Or, Private, Property, Public, Select, Set, Static, Sub,
    Then, Until, Wend, While, Xor
};

// Up to eight bytes of a word as one number, the first in the lowest byte.
constexpr std::uint64_t packed(std::string_view w)
{
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < w.size() && i < 8; ++i)
        v |= static_cast<std::uint64_t>(static_cast<unsigned char>(w[i])) << (8 * i);
    return v;
}

// The words of up to eight letters, found through a table in which each
// has a slot of its own: the slot of a word is its bytes taken as one
// number times kSlotFactor, top bits.
struct KeywordSlot {
    std::uint64_t word = 0;
    std::size_t length = 0;
    Kw kw = Kw::None;
};
struct KeywordText {
    std::string_view text;
    Kw kw;
};
constexpr KeywordText kKeywords[] = {
    {"and", Kw::And}, {"case", Kw::Case}, {"const", Kw::Const}, {"declare", Kw::Declare}, {"do", Kw::Do},
    {"else", Kw::Else}, {"elseif", Kw::ElseIf}, {"end", Kw::End}, {"error", Kw::Error}, {"event", Kw::Event},
    {"for", Kw::For}, {"friend", Kw::Friend}, {"function", Kw::Function}, {"get", Kw::Get}, {"global", Kw::Global},
    {"gosub", Kw::GoSub}, {"goto", Kw::GoTo}, {"if", Kw::If}, {"let", Kw::Let}, {"local", Kw::Local},
    {"loop", Kw::Loop}, {"next", Kw::Next}, {"on", Kw::On}, {"or", Kw::Or}, {"private", Kw::Private},
    {"property", Kw::Property}, {"public", Kw::Public}, {"select", Kw::Select}, {"set", Kw::Set},
    {"static", Kw::Static}, {"sub", Kw::Sub}, {"then", Kw::Then}, {"until", Kw::Until}, {"wend", Kw::Wend},
    {"while", Kw::While}, {"xor", Kw::Xor}};
constexpr int kSlotBits = 7;

constexpr std::size_t slotOf(std::uint64_t word, std::uint64_t factor)
{
    return static_cast<std::size_t>((word * factor) >> (64 - kSlotBits));
}

// The first factor of a fixed sequence that gives every word a slot of its own.
constexpr std::uint64_t findSlotFactor()
{
    for (std::uint64_t factor = 0x9E3779B97F4A7C15ull;;
         factor = (factor * 6364136223846793005ull + 1442695040888963407ull) | 1) {
        bool taken[1 << kSlotBits] = {};
        bool clash = false;
        for (const KeywordText& k : kKeywords) {
            const std::size_t slot = slotOf(packed(k.text), factor);
            clash = clash || taken[slot];
            taken[slot] = true;
        }
        if (!clash)
            return factor;
    }
}
constexpr std::uint64_t kSlotFactor = findSlotFactor();

constexpr std::array<KeywordSlot, 1 << kSlotBits> makeKeywordSlots()
{
    std::array<KeywordSlot, 1 << kSlotBits> slots{};
    for (const KeywordText& k : kKeywords)
        slots[slotOf(packed(k.text), kSlotFactor)] = {packed(k.text), k.text.size(), k.kw};
    return slots;
}
constexpr std::array<KeywordSlot, 1 << kSlotBits> kKeywordSlots = makeKeywordSlots();

// The word in any letter case: setting bit 0x20 lower-cases an ASCII letter
// and makes no other byte one.
Kw keywordOf(std::string_view w)
{
    const std::size_t n = w.size();
    if (n < 2 || n > 9)
        return Kw::None;
    if (n == 9)
        return equalsNoCase(w, "attribute") ? Kw::Attribute : Kw::None;
    std::uint64_t v = 0;
    std::memcpy(&v, w.data(), n);
    v |= 0x2020202020202020ull >> (8 * (8 - n));
    const KeywordSlot& slot = kKeywordSlots[slotOf(v, kSlotFactor)];
    return slot.word == v && slot.length == n ? slot.kw : Kw::None;
}

// The first tokens of a segment that tell a procedure's header:
// [Public|Private|Friend|Global] [Static] Sub|Function|Property Get|Let|Set name.
constexpr std::size_t kHeaderTokens = 5;

// The analysis of a module's physical lines, given in their order. Every
// token is acted on as it is read, each decision waiting for at most the
// next token, so that a logical line of any length, and any number of
// statements, `Then`s, lists and labels in it, take time in proportion to
// its length and no memory beyond the physical line being read.
class Analyzer {
public:
    explicit Analyzer(ModuleMetrics& out) : out_(out) {}

    // The physical line that starts at p, numbered `number`, in a part of
    // the text that ends at `end` and holds the line's end (its CR or LF,
    // or `end` itself): analysed, and the position of its end given back.
    const char* physicalLineAt(const char* p, const char* end, std::int64_t number);
    void finish(std::int64_t lastLine);

private:
    enum class LineClass : std::uint8_t { Undecided, Code, Directive, Attribute };
    // What a list (of `Next` or of `On ... GoTo`) is doing.
    enum class ListState : std::uint8_t { None, SeekingGoTo, Items };

    void physicalLine(std::string_view line, std::int64_t number, bool tryPlain);
    void startLogicalLine(std::int64_t number);
    void endLogicalLine();
    void lex(std::string_view line, std::size_t from);
    bool plainStatement(std::string_view line, std::size_t first);
    bool countPlainStatement();
    bool atStatementStart() const;

    void push(Tok type, std::string_view text);
    void countLine(LineClass lineClass);
    void segmentToken(Tok type, Kw kw, std::string_view text);
    void beginSegment();
    void endSegment(bool lineEnds);
    void decideHeader();
    void statementToken(Tok type, Kw kw);
    void statementStart(Kw kw);
    void resolveAwaited(Kw next);
    void finishList();
    void openBlocks(std::int64_t delta);
    void addCc(std::int64_t k);
    ProcedureMetrics* current() { return open_ ? &out_.procedures.back() : nullptr; }

    ModuleMetrics& out_;
    const char* limit_ = nullptr; // the end of the part of the text that the scans may read up to
    ByteCursor cursor_;
    bool open_ = false;           // the last procedure has not ended yet
    std::int64_t openDepth_ = 0;
    // The procedures that ended in the logical line being read, which take
    // its last physical line and its code lines when it ends; until then a
    // procedure's `codeLines` holds the code lines before its first line.
    std::size_t endedFrom_ = 0, endedTo_ = 0;

    // The logical line being read.
    bool lineStarted_ = false;
    bool continues_ = false;      // the last physical line ended in a continuation
    bool commentGoesOn_ = false;  // ... inside a comment
    LineClass class_ = LineClass::Undecided;
    std::uint64_t lineTokens_ = 0;
    Tok lastType_ = Tok::Other;
    bool lastBang_ = false;       // the last token was a `!`
    bool heldHash_ = false;       // a leading `#`, waiting for the word that tells a directive
    bool heldLabel_ = false;      // a leading name, a label when a `:` follows
    Kw heldLabelKw_ = Kw::None;
    std::string heldLabelText_;   // ... when it is short enough to be a statement's word
    std::int64_t firstPhysical_ = 0;
    std::int64_t lastPhysical_ = 0;
    std::int64_t codeBefore_ = 0; // physical code lines before the logical line
    std::int64_t codeLines_ = 0;  // physical code lines so far

    // The segment (the tokens between `:` separators) being read.
    std::uint64_t segmentTokens_ = 0;
    bool seekingHeader_ = false;  // outside a procedure: its first tokens are held until a header is told
    std::size_t held_ = 0;
    std::array<Tok, kHeaderTokens> heldType_{};
    std::array<Kw, kHeaderTokens> heldKw_{};
    std::array<std::string, kHeaderTokens> heldText_;
    std::int64_t segmentStatements_ = 0;
    bool inCondition_ = false;
    bool conditionOfIf_ = false;
    bool endsProcedure_ = false;
    bool statementNext_ = false;  // the next token begins a statement
    bool afterBranch_ = false;    // the last token was a `Then` or `Else`: a token after it begins a statement
    bool branchOpensBlock_ = false; // ... the `Then` of an If, which opens a block when nothing follows it
    bool afterCase_ = false;      // the last token was `Case`
    Kw awaited_ = Kw::None;       // a statement's first word whose meaning the next token tells
    ListState list_ = ListState::None;
    bool listOfNext_ = false;     // the list is of a `Next` (else of an `On ... GoTo`)
    bool inItem_ = false;
    std::int64_t items_ = 0;
};

bool Analyzer::atStatementStart() const
{
    return lineTokens_ == 0 || lastType_ == Tok::Colon || (lineTokens_ == 1 && lastType_ == Tok::Number);
}

// Lexes the line from `from` on (its first character other than tab or space).
void Analyzer::lex(std::string_view line, std::size_t from)
{
    const std::size_t n = line.size();
    std::size_t i = from;
    while (i < n) {
        const char c = line[i];
        if (kClasses[static_cast<unsigned char>(c)] & kBlank) {
            ++i;
            continue;
        }
        if (c == '_' && i > 0 && isLineLeadBlank(line[i - 1]) && onlyBlanks(line.substr(i + 1))) {
            continues_ = true;
            return;
        }
        if (c == '"') {
            std::size_t j = i + 1;
            while (true) {
                j = line.find('"', j);
                if (j == std::string_view::npos) {
                    push(Tok::String, line.substr(i));
                    return; // an unclosed string ends with the line and continues nothing
                }
                if (j + 1 < n && line[j + 1] == '"') {
                    j += 2;
                    continue;
                }
                break;
            }
            push(Tok::String, line.substr(i, j + 1 - i));
            i = j + 1;
            continue;
        }
        if (c == '\'') {
            if (endsInContinuation(line.substr(i)))
                continues_ = commentGoesOn_ = true;
            return;
        }
        if (isIdentStart(c)) {
            std::size_t j = static_cast<std::size_t>(skipIdent(line.data() + i + 1, line.data() + n, limit_) - line.data());
            if (j < n) {
                const std::uint8_t mark = kClasses[static_cast<unsigned char>(line[j])];
                if ((mark & kTypeMark) || ((mark & kTypeMarkBeforeName) && !(j + 1 < n && isIdentChar(line[j + 1]))))
                    ++j;
            }
            const std::string_view word = line.substr(i, j - i);
            if (word.size() == 3 && (word[0] | 0x20) == 'r' && (word[1] | 0x20) == 'e' && (word[2] | 0x20) == 'm'
                && atStatementStart()) {
                if (endsInContinuation(line.substr(i)))
                    continues_ = commentGoesOn_ = true;
                return;
            }
            const bool member = lineTokens_ > 0 && i > 0 && (line[i - 1] == '.' || line[i - 1] == '!')
                                && (lastType_ == Tok::Dot || lastBang_);
            push(member ? Tok::Member : Tok::Word, word);
            i = j;
            continue;
        }
        if (c == '[') {
            const std::size_t j = line.find(']', i + 1);
            const std::size_t stop = j == std::string_view::npos ? n : j + 1;
            push(Tok::Word, line.substr(i, stop - i));
            i = stop;
            continue;
        }
        if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(line[i + 1]))) {
            std::size_t j = i;
            while (j < n && (isDigit(line[j]) || line[j] == '.'))
                ++j;
            if (j < n && (line[j] == 'e' || line[j] == 'E' || line[j] == 'd' || line[j] == 'D')) {
                std::size_t k = j + 1;
                if (k < n && (line[k] == '+' || line[k] == '-'))
                    ++k;
                if (k < n && isDigit(line[k])) {
                    j = k;
                    while (j < n && isDigit(line[j]))
                        ++j;
                }
            }
            if (j < n && (line[j] == '%' || line[j] == '&' || line[j] == '!' || line[j] == '#' || line[j] == '@'
                          || line[j] == '$'))
                ++j;
            push(Tok::Number, line.substr(i, j - i));
            i = j;
            continue;
        }
        if (c == '&' && i + 1 < n && (line[i + 1] == 'h' || line[i + 1] == 'H' || line[i + 1] == 'o'
                                      || line[i + 1] == 'O')) {
            std::size_t j = i + 2;
            while (j < n && isIdentChar(line[j]))
                ++j;
            if (j < n && (line[j] == '&' || line[j] == '%'))
                ++j;
            push(Tok::Number, line.substr(i, j - i));
            i = j;
            continue;
        }
        if (c == '#') {
            if (lineTokens_ == 0 && i + 1 < n && isIdentStart(line[i + 1])) {
                push(Tok::Hash, line.substr(i, 1));
                ++i;
                continue;
            }
            // A date or time runs to the next `#`; the text up to it is
            // looked at once, and lexed again only when it is no date.
            const std::size_t j = line.find('#', i + 1);
            if (j != std::string_view::npos && isDateText(line.substr(i + 1, j - i - 1))) {
                push(Tok::Date, line.substr(i, j + 1 - i));
                i = j + 1;
                continue;
            }
            push(Tok::Other, line.substr(i, 1));
            ++i;
            continue;
        }
        if (c == ':') {
            if (i + 1 < n && line[i + 1] == '=') {
                push(Tok::Assign, line.substr(i, 2));
                i += 2;
            } else {
                push(Tok::Colon, line.substr(i, 1));
                ++i;
            }
            continue;
        }
        push(c == ',' ? Tok::Comma : c == '.' ? Tok::Dot : Tok::Other, line.substr(i, 1));
        ++i;
    }
}

// Most code lines are one statement that opens, closes and branches
// nothing: a first word that begins no notable statement, then no `:`
// outside strings before the comment, if any, and no continuation. They
// count as one code line and one statement without being lexed.
bool Analyzer::plainStatement(std::string_view line, std::size_t first)
{
    const std::size_t n = line.size();
    const std::size_t i = first;
    if (i == n || !isIdentStart(line[i]))
        return false;
    const char* const begin = line.data();
    const char* const end = begin + n;
    const std::size_t j = static_cast<std::size_t>(skipIdent(begin + i + 1, end, limit_) - begin);
    if (beginsNotableStatement(line.substr(i, j - i)))
        return false;
    for (std::size_t k = j; k < n;) {
        k = static_cast<std::size_t>(findSpecial(begin + k, end, limit_) - begin);
        if (k == n)
            break;
        const char c = line[k];
        if (c == ':') {
            return false;
        } else if (c == '\'') {
            break; // a comment to the line's end, which may go on like the code
        } else {
            // A string; one left open ends with the line and continues nothing.
            std::size_t q = k + 1;
            while (true) {
                q = line.find('"', q);
                if (q == std::string_view::npos)
                    return countPlainStatement();
                if (q + 1 < n && line[q + 1] == '"') {
                    q += 2;
                    continue;
                }
                break;
            }
            k = q + 1;
        }
    }
    if (endsInContinuation(line))
        return false;
    return countPlainStatement();
}

bool Analyzer::countPlainStatement()
{
    ++out_.lloc;
    ++out_.statements;
    if (ProcedureMetrics* p = current()) {
        ++p->lloc;
        ++p->statements;
    }
    return true;
}

const char* Analyzer::physicalLineAt(const char* p, const char* end, std::int64_t number)
{
    // The one plain statement that most code lines are (see plainStatement)
    // is told and counted here in the same forward scan that finds the
    // line's end; any other line, and the first (which may begin with a
    // byte-order mark), goes the whole way.
    limit_ = end;
    cursor_.setEnd(end);
    const char* scanned = p; // no line end lies before this
    bool plainTried = false;
    if (!continues_ && number != 1) {
        const char* const first = cursor_.next<ByteCursor::NonBlank>(p);
        scanned = first;
        const bool blank = first == end || *first == '\r' || *first == '\n';
        if (blank || *first == '\'') {
            // A blank line, or a comment line that does not go on: a logical
            // line in which nothing counts.
            const char* const lineEnd = blank ? first : cursor_.next<ByteCursor::LineEnd>(first);
            if (blank || !endsInContinuation(std::string_view(first, static_cast<std::size_t>(lineEnd - first)))) {
                startLogicalLine(number);
                lineStarted_ = false;
                return lineEnd;
            }
            scanned = lineEnd;
        } else if (isIdentStart(*first)) {
            const char* const wordEnd = cursor_.next<ByteCursor::NonName>(first + 1);
            scanned = wordEnd;
            plainTried = true;
            if (!beginsNotableStatement(std::string_view(first, static_cast<std::size_t>(wordEnd - first)))) {
                const char* q = wordEnd;
                const char* lineEnd = nullptr;
                bool plain = false;
                for (;;) {
                    q = cursor_.next<ByteCursor::Stop>(q);
                    if (q == end || *q == '\r' || *q == '\n') {
                        lineEnd = q;
                        plain = !endsInContinuation(std::string_view(p, static_cast<std::size_t>(q - p)));
                        break;
                    }
                    if (*q == ':') {
                        break;
                    }
                    if (*q == '\'') {
                        // A comment to the line's end, which may go on like the code.
                        lineEnd = cursor_.next<ByteCursor::LineEnd>(q);
                        plain = !endsInContinuation(std::string_view(p, static_cast<std::size_t>(lineEnd - p)));
                        break;
                    }
                    // A string; one left open ends with the line and continues nothing.
                    for (++q;; ++q) {
                        q = cursor_.next<ByteCursor::Stop>(q);
                        if (q == end || *q == '\r' || *q == '\n') {
                            lineEnd = q;
                            plain = true;
                            break;
                        }
                        if (*q == '"' && !(q + 1 < end && q[1] == '"'))
                            break;
                        if (*q == '"')
                            ++q; // a doubled quote inside the string
                    }
                    if (lineEnd)
                        break;
                    ++q;
                }
                if (plain) {
                    // As physicalLine counts a plain statement that begins a logical line.
                    startLogicalLine(number);
                    lineStarted_ = false;
                    ++codeLines_;
                    countPlainStatement();
                    return lineEnd;
                }
                scanned = lineEnd ? lineEnd : q;
            }
        }
    }
    const char* const lineEnd = cursor_.next<ByteCursor::LineEnd>(scanned);
    physicalLine(std::string_view(p, static_cast<std::size_t>(lineEnd - p)), number, !plainTried);
    return lineEnd;
}

void Analyzer::startLogicalLine(std::int64_t number)
{
    lineStarted_ = true;
    firstPhysical_ = lastPhysical_ = number;
    codeBefore_ = codeLines_;
    class_ = LineClass::Undecided;
    lineTokens_ = 0;
    lastType_ = Tok::Other;
    lastBang_ = heldHash_ = heldLabel_ = false;
    segmentTokens_ = 0;
}

void Analyzer::physicalLine(std::string_view line, std::int64_t number, bool tryPlain)
{
    // The count's rule for blank and comment lines, on the line's first
    // character other than tab or space, which the lexer starts from too.
    const char* const end = line.data() + line.size();
    std::size_t first = static_cast<std::size_t>(skipBlanks(line.data(), end, limit_) - line.data());
    const bool code = first < line.size() && lineKindOf(line[first]) == LineKind::Other;
    // A text saved by a Windows editor may begin with a byte-order mark.
    if (number == 1 && first == 0 && line.starts_with("\xEF\xBB\xBF")) {
        line = withoutUtf8Bom(line);
        while (first < line.size() && isLineLeadBlank(line[first]))
            ++first;
    }
    if (!continues_)
        startLogicalLine(number);
    lastPhysical_ = number;
    if (code)
        ++codeLines_;
    const bool comment = commentGoesOn_;
    const bool starts = !continues_;
    continues_ = commentGoesOn_ = false;
    if (starts && tryPlain && plainStatement(line, first)) {
        lineStarted_ = false;
        return;
    }
    if (comment) {
        // The comment of the line before goes on over this whole line.
        if (endsInContinuation(line))
            continues_ = commentGoesOn_ = true;
    } else {
        lex(line, first);
    }
    if (!continues_)
        endLogicalLine();
}

// A blank or comment line ends with no token; any other is classified on
// its first tokens, and its last segment ends with it.
void Analyzer::endLogicalLine()
{
    if (class_ == LineClass::Undecided && heldHash_) {
        countLine(LineClass::Code); // a `#` and nothing after it
        segmentToken(Tok::Hash, Kw::None, {});
    }
    if (class_ == LineClass::Code) {
        if (heldLabel_) {
            heldLabel_ = false;
            segmentToken(Tok::Word, heldLabelKw_, {});
        }
        endSegment(true);
        for (std::size_t k = endedFrom_; k < endedTo_; ++k) {
            ProcedureMetrics& p = out_.procedures[k];
            p.span = lastPhysical_ - p.firstLine + 1;
            p.codeLines = codeLines_ - p.codeLines;
        }
        endedFrom_ = endedTo_ = 0;
    }
    lineStarted_ = false;
}

void Analyzer::countLine(LineClass lineClass)
{
    class_ = lineClass;
    ++out_.lloc;
    if (ProcedureMetrics* p = current())
        ++p->lloc;
}

// One token of the logical line. Its first tokens tell the line's class and
// a leading label or line number, which is taken off; the others go to the
// segments between `:` separators (not `:=`).
void Analyzer::push(Tok type, std::string_view text)
{
    const Kw kw = type == Tok::Word ? keywordOf(text) : Kw::None;
    const bool first = lineTokens_ == 0;
    ++lineTokens_;
    lastType_ = type;
    lastBang_ = type == Tok::Other && text == "!";
    if (class_ == LineClass::Undecided) {
        if (first) {
            if (kw == Kw::Attribute) {
                class_ = LineClass::Attribute; // not counted
                return;
            }
            if (type == Tok::Hash) {
                heldHash_ = true;
                return;
            }
            countLine(LineClass::Code);
            if (type == Tok::Number)
                return; // a line number
            if (type == Tok::Word) {
                // A label when a `:` follows and it is no statement's word
                // (none of those is longer than ten letters).
                heldLabel_ = true;
                heldLabelKw_ = kw;
                heldLabelText_.assign(text.size() <= 10 ? text : std::string_view());
                return;
            }
        } else {
            // The word after a leading `#`.
            heldHash_ = false;
            if (kw == Kw::If || kw == Kw::ElseIf || kw == Kw::Else || kw == Kw::End || kw == Kw::Const) {
                countLine(LineClass::Directive);
                return;
            }
            countLine(LineClass::Code);
            segmentToken(Tok::Hash, Kw::None, {});
        }
    } else if (class_ != LineClass::Code) {
        return;
    } else if (heldLabel_) {
        heldLabel_ = false;
        if (type == Tok::Colon && !isReservedWord(heldLabelText_))
            return; // the name and its `:` are a label
        segmentToken(Tok::Word, heldLabelKw_, {});
    }
    if (type == Tok::Colon) {
        endSegment(false);
        return;
    }
    segmentToken(type, kw, text);
}

void Analyzer::beginSegment()
{
    segmentStatements_ = 1;
    inCondition_ = conditionOfIf_ = endsProcedure_ = false;
    statementNext_ = true;
    afterBranch_ = branchOpensBlock_ = afterCase_ = false;
    awaited_ = Kw::None;
    list_ = ListState::None;
    seekingHeader_ = !open_;
    held_ = 0;
}

void Analyzer::segmentToken(Tok type, Kw kw, std::string_view text)
{
    if (segmentTokens_++ == 0)
        beginSegment();
    if (!seekingHeader_) [[likely]] {
        statementToken(type, kw);
        return;
    }
    heldType_[held_] = type;
    heldKw_[held_] = kw;
    if (held_ > 0 && (type == Tok::Word || type == Tok::Member))
        heldText_[held_].assign(text); // may be the procedure's name
    if (++held_ == kHeaderTokens)
        decideHeader();
}

// A header, a Declare or an Event outside any procedure, told on the
// segment's first tokens, which then go on as any others.
void Analyzer::decideHeader()
{
    seekingHeader_ = false;
    const std::size_t e = held_;
    auto isWord = [&](std::size_t k, Kw w) { return k < e && heldKw_[k] == w; };
    std::size_t j = 0;
    if (isWord(j, Kw::Public) || isWord(j, Kw::Private) || isWord(j, Kw::Friend) || isWord(j, Kw::Global))
        ++j;
    if (isWord(j, Kw::Static))
        ++j;
    std::optional<ProcedureKind> kind;
    std::size_t nameAt = j + 1;
    if (isWord(j, Kw::Sub)) {
        kind = ProcedureKind::Sub;
    } else if (isWord(j, Kw::Function)) {
        kind = ProcedureKind::Function;
    } else if (j + 1 < e && isWord(j, Kw::Property)) {
        nameAt = j + 2;
        if (isWord(j + 1, Kw::Get))
            kind = ProcedureKind::PropertyGet;
        else if (isWord(j + 1, Kw::Let))
            kind = ProcedureKind::PropertyLet;
        else if (isWord(j + 1, Kw::Set))
            kind = ProcedureKind::PropertySet;
    } else if (isWord(j, Kw::Declare)) {
        ++out_.declares;
    } else if (isWord(j, Kw::Event)) {
        ++out_.events;
    }
    if (kind && nameAt < e && (heldType_[nameAt] == Tok::Word || heldType_[nameAt] == Tok::Member)) {
        ProcedureMetrics p;
        p.kind = *kind;
        p.name = toDisplayText(heldText_[nameAt]);
        p.firstLine = firstPhysical_;
        p.lloc = 1;                // the header's line
        p.codeLines = codeBefore_; // until it ends: the code lines before it
        out_.procedures.push_back(std::move(p));
        open_ = true;
        openDepth_ = 0;
    }
    for (std::size_t k = 0; k < e; ++k)
        statementToken(heldType_[k], heldKw_[k]);
}

void Analyzer::endSegment(bool lineEnds)
{
    if (segmentTokens_ == 0)
        return;
    segmentTokens_ = 0;
    if (seekingHeader_)
        decideHeader();
    // Nothing after the Then of an If at the line's end: a block If.
    if (afterBranch_ && branchOpensBlock_ && lineEnds)
        openBlocks(1);
    resolveAwaited(Kw::None);
    finishList();
    out_.statements += segmentStatements_;
    if (ProcedureMetrics* p = current())
        p->statements += segmentStatements_;
    if (endsProcedure_) {
        // Its span and code lines are taken when the logical line ends.
        open_ = false;
        if (endedFrom_ == endedTo_)
            endedFrom_ = out_.procedures.size() - 1;
        endedTo_ = out_.procedures.size();
    }
}

// One token of a segment. A statement begins the segment and follows each
// `Then` or `Else` that is not the segment's last token.
void Analyzer::statementToken(Tok type, Kw kw)
{
    if (afterBranch_) {
        afterBranch_ = false;
        ++segmentStatements_;
        statementNext_ = true;
    }
    if (awaited_ != Kw::None)
        resolveAwaited(kw);
    if (list_ != ListState::None) {
        // A list runs to its statement's end: a `Then`, an `Else` or the segment's end.
        if (kw == Kw::Then || kw == Kw::Else) {
            finishList();
        } else if (list_ == ListState::SeekingGoTo) {
            if (kw == Kw::GoTo || kw == Kw::GoSub) {
                list_ = ListState::Items;
                inItem_ = false;
                items_ = 0;
            }
        } else if (type == Tok::Comma) {
            inItem_ = false;
        } else if (!inItem_) {
            inItem_ = true;
            ++items_;
        }
    }
    if (statementNext_) {
        statementNext_ = false;
        statementStart(kw);
    }
    if (type == Tok::Word) {
        if (inCondition_ && (kw == Kw::And || kw == Kw::Or || kw == Kw::Xor)) {
            if (ProcedureMetrics* p = current())
                ++p->cc2;
        } else if (kw == Kw::Then) {
            inCondition_ = false;
            afterBranch_ = true;
            branchOpensBlock_ = conditionOfIf_;
            conditionOfIf_ = false;
        } else if (kw == Kw::Else && !afterCase_) {
            inCondition_ = false;
            afterBranch_ = true;
            branchOpensBlock_ = false;
        }
    }
    afterCase_ = kw == Kw::Case;
}

void Analyzer::addCc(std::int64_t k)
{
    if (ProcedureMetrics* p = current()) {
        p->cc += k;
        p->cc2 += k;
    }
}

void Analyzer::openBlocks(std::int64_t delta)
{
    openDepth_ = std::max<std::int64_t>(0, openDepth_ + delta);
    if (ProcedureMetrics* p = current())
        p->depth = std::max(p->depth, openDepth_);
}

// The first word of a statement; where its meaning depends on the word
// after it, that waits for the next token.
void Analyzer::statementStart(Kw kw)
{
    switch (kw) {
    case Kw::If:
        addCc(1);
        inCondition_ = true;
        conditionOfIf_ = true;
        break;
    case Kw::Do:
        openBlocks(1);
        awaited_ = kw;
        break;
    case Kw::Loop:
        openBlocks(-1);
        awaited_ = kw;
        break;
    case Kw::On:
    case Kw::End:
    case Kw::Case:
    case Kw::Select:
        awaited_ = kw;
        break;
    case Kw::For:
        addCc(1);
        openBlocks(1);
        break;
    case Kw::Next:
        // `Next i, j` ends as many loops as it names, and at least one.
        list_ = ListState::Items;
        listOfNext_ = true;
        inItem_ = false;
        items_ = 0;
        break;
    case Kw::Wend:
        openBlocks(-1);
        break;
    case Kw::While:
        addCc(1);
        openBlocks(1);
        inCondition_ = true;
        conditionOfIf_ = false;
        break;
    case Kw::ElseIf:
        addCc(1);
        inCondition_ = true;
        conditionOfIf_ = false;
        break;
    default:
        break;
    }
}

// The word after a statement's first word (Kw::None: none, or no word).
void Analyzer::resolveAwaited(Kw next)
{
    switch (awaited_) {
    case Kw::Do:
    case Kw::Loop:
        if (next == Kw::While || next == Kw::Until) {
            addCc(1);
            inCondition_ = true;
            conditionOfIf_ = false;
        }
        break;
    case Kw::On:
        // `On x GoTo a, b, c` adds its labels; `On Error` and `On Local Error` nothing.
        if (next != Kw::Error && next != Kw::Local) {
            list_ = ListState::SeekingGoTo;
            listOfNext_ = false;
        }
        break;
    case Kw::End:
        if (next == Kw::If || next == Kw::Select)
            openBlocks(-1);
        else if (next == Kw::Sub || next == Kw::Function || next == Kw::Property)
            endsProcedure_ = open_;
        break;
    case Kw::Case:
        if (next != Kw::Else)
            addCc(1);
        break;
    case Kw::Select:
        if (next == Kw::Case)
            openBlocks(1);
        break;
    default:
        break;
    }
    awaited_ = Kw::None;
}

void Analyzer::finishList()
{
    if (list_ == ListState::Items) {
        if (listOfNext_)
            openBlocks(-std::max<std::int64_t>(1, items_));
        else
            addCc(items_);
    }
    list_ = ListState::None;
}

void Analyzer::finish(std::int64_t lastLine)
{
    if (lineStarted_)
        endLogicalLine();
    // A procedure without its end runs to the module's last line.
    if (open_) {
        ProcedureMetrics& p = out_.procedures.back();
        p.span = lastLine - p.firstLine + 1;
        p.codeLines = codeLines_ - p.codeLines;
        open_ = false;
    }
}

void markNamesDefinedTwice(std::vector<ProcedureMetrics>& procedures)
{
    // Property Get, Let and Set of one name are one property; any other two
    // procedures of one name are defined twice (for example in two #If branches).
    // The procedures of each name in any letter case, counted by kind.
    std::unordered_map<std::string, std::array<std::size_t, kProcedureKindCount>> byName;
    byName.reserve(procedures.size());
    std::vector<std::array<std::size_t, kProcedureKindCount>*> kindsOf;
    kindsOf.reserve(procedures.size());
    for (const ProcedureMetrics& p : procedures) {
        auto& kinds = byName.try_emplace(lowerAsciiText(p.name)).first->second;
        ++kinds[static_cast<std::size_t>(p.kind)];
        kindsOf.push_back(&kinds);
    }
    for (std::size_t i = 0; i < procedures.size(); ++i) {
        ProcedureMetrics& p = procedures[i];
        const auto& kinds = *kindsOf[i];
        const std::size_t properties = kinds[2] + kinds[3] + kinds[4];
        const std::size_t others = kinds[0] + kinds[1];
        const auto kind = static_cast<std::size_t>(p.kind);
        const bool property = kind >= 2;
        p.definedTwice = kinds[kind] > 1 || (property ? others > 0 : others + properties > 1);
    }
}

} // namespace

// Splits the pieces into physical lines: a line that lies whole in a piece
// is analysed where it lies, one that runs over the end of a piece is
// gathered first (so a line costs its own length at most, and a module any
// length), and a CR at a piece's end waits for the next piece's first byte.
struct ModuleAnalyzer::Impl {
    ModuleMetrics out;
    std::optional<Analyzer> analyzer;
    std::int64_t headerLines = 0;
    bool seekingHeader = false; // the header ends at the first line that begins with "Attribute VB_Exposed"
    ModuleScanner headerScan;   // ... which this finds
    bool analyzed = false;      // a line was analysed
    std::int64_t number = 0;    // physical lines so far
    std::string carried;        // the start of a line that the last piece did not end
    bool pendingCr = false;     // the last piece ended with a CR

    Impl() { analyzer.emplace(out); }

    // The line that starts at p in a part ending at `end`, which holds its end.
    const char* line(const char* p, const char* end)
    {
        ++number;
        if (seekingHeader) {
            // The lines before the header's end is known are analysed as
            // code; once it is, what was analysed was the header.
            const std::int64_t exposed = headerScan.exposedLineSoFar();
            if (exposed != 0 && number >= exposed) {
                seekingHeader = false;
                headerLines = exposed;
                if (analyzed) {
                    out = ModuleMetrics();
                    analyzer.emplace(out);
                }
            } else if (exposed != 0) {
                return skipLine(p, end);
            }
        }
        if (number <= headerLines)
            return skipLine(p, end);
        analyzed = true;
        return analyzer->physicalLineAt(p, end, number);
    }

    static const char* skipLine(const char* p, const char* end)
    {
        ByteCursor cursor;
        cursor.setEnd(end);
        return cursor.next<ByteCursor::LineEnd>(p);
    }

    void feed(std::string_view piece)
    {
        // The count's scan finds the header's end in the pieces fed so far,
        // mostly in the first, before any of its lines is analysed.
        constexpr std::size_t kHeaderStep = 4096; // a header mostly ends in its first KiB
        for (std::size_t at = 0; seekingHeader && headerScan.exposedLineSoFar() == 0 && at < piece.size();
             at += kHeaderStep)
            headerScan.feed(piece.substr(at, kHeaderStep));
        const char* p = piece.data();
        const char* const end = p + piece.size();
        if (p == end)
            return;
        if (pendingCr) {
            pendingCr = false;
            if (*p == '\n')
                ++p;
        }
        if (!carried.empty()) {
            ByteCursor cursor;
            cursor.setEnd(end);
            const char* const e = cursor.next<ByteCursor::LineEnd>(p);
            carried.append(p, e);
            if (e == end)
                return;
            line(carried.data(), carried.data() + carried.size());
            carried.clear();
            pendingCr = *e == '\r' && e + 1 == end;
            p = afterLineEnd(e, end);
        }
        // Every line up to the piece's last line end lies whole in it.
        const char* last = end;
        while (last > p && last[-1] != '\r' && last[-1] != '\n')
            --last;
        if (last > p) {
            const char* q = p;
            while (q < last)
                q = afterLineEnd(line(q, last), last);
            // Only a CR that ends the piece may have its LF in the next one.
            pendingCr = last == end && last[-1] == '\r';
        }
        carried.assign(last, end);
    }

    ModuleMetrics finish()
    {
        if (!carried.empty()) {
            line(carried.data(), carried.data() + carried.size());
            carried.clear();
            carried.shrink_to_fit();
        }
        analyzer->finish(number);
        markNamesDefinedTwice(out.procedures);
        for (const ProcedureMetrics& p : out.procedures) {
            ++out.byKind[static_cast<std::size_t>(p.kind)];
            out.totalCc += p.cc;
            out.highestCc = std::max(out.highestCc, p.cc);
            if (p.span > out.longestSpan) {
                out.longestSpan = p.span;
                out.longestName = p.name;
            }
        }
        return std::move(out);
    }
};

ModuleAnalyzer::ModuleAnalyzer(std::int64_t headerLines) : impl_(std::make_unique<Impl>())
{
    impl_->headerLines = headerLines;
}

ModuleAnalyzer ModuleAnalyzer::byHeaderRule(bool standardModule)
{
    ModuleAnalyzer analyzer(standardModule ? 1 : 0);
    analyzer.impl_->seekingHeader = !standardModule;
    return analyzer;
}

ModuleAnalyzer::ModuleAnalyzer(ModuleAnalyzer&&) noexcept = default;
ModuleAnalyzer& ModuleAnalyzer::operator=(ModuleAnalyzer&&) noexcept = default;
ModuleAnalyzer::~ModuleAnalyzer() = default;

void ModuleAnalyzer::feed(std::string_view piece)
{
    impl_->feed(piece);
}

ModuleMetrics ModuleAnalyzer::finish()
{
    return impl_->finish();
}

} // namespace zorvika
