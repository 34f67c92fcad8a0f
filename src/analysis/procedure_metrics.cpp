#include "analysis/procedure_metrics.h"

#include "analysis/line_counter.h"
#include "analysis/project_reader.h"
#include "analysis/source_tree.h"
#include "base/file_io.h"
#include "base/line_reader.h"
#include "base/text_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zorvika {

namespace {

enum class Tok : std::uint8_t { Word, Member, Number, String, Date, Colon, Assign, Comma, Dot, Hash, Other };

struct Token {
    Tok type;
    std::string_view text;
};

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

// True when the token is the word `lowerWord` in any case. Setting bit
// 0x20 lower-cases an ASCII letter and makes no other byte a letter.
inline bool is(const Token& t, std::string_view lowerWord)
{
    if (t.type != Tok::Word || t.text.size() != lowerWord.size())
        return false;
    for (std::size_t i = 0; i < lowerWord.size(); ++i)
        if ((t.text[i] | 0x20) != lowerWord[i])
            return false;
    return true;
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

    explicit ByteCursor(std::string_view text) : end_(text.data() + text.size()) {}

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

    const char* end_;
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

// Logical lines of unbounded length keep bounded memory: past this many
// tokens the line's complete segments are processed at the next `:`, and
// past four times as many, further tokens of a segment are dropped.
constexpr std::size_t kTokenFlush = 1u << 16;
constexpr std::size_t kTokenLimit = 4 * kTokenFlush;

class Analyzer {
public:
    // The analysis of the lines of `text`, given in their order.
    Analyzer(ModuleMetrics& out, std::string_view text)
        : out_(out), limit_(text.data() + text.size()), cursor_(text)
    {
        tokens_.reserve(256);
    }

    // The physical line that starts at p, numbered `number`: analysed, and
    // the position of its end (its CR or LF, or the text's end) given back.
    const char* physicalLineAt(const char* p, std::int64_t number);
    // The end of the line that starts at p, which is not analysed (a header line).
    const char* skipLineAt(const char* p) { return cursor_.next<ByteCursor::LineEnd>(p); }
    void physicalLine(std::string_view line, std::int64_t number, bool tryPlain);
    void startLogicalLine(std::int64_t number);
    void finish(std::int64_t lastLine);

private:
    enum class LineClass { Undecided, Code, Directive, Attribute };

    void lex(std::string_view line, std::size_t from);
    bool plainStatement(std::string_view line, std::size_t first);
    bool countPlainStatement();
    void push(Tok type, std::string_view text);
    void pushOnLongLine(Tok type, std::string_view text);
    bool atStatementStart() const;
    void endLogicalLine();
    void processTokens(bool lineEnds);
    void segment(std::size_t s, std::size_t e, bool lastSegment, bool lineEnds);
    void statementStart(std::size_t i, std::size_t e);
    void openBlocks(std::int64_t delta);
    void closeProcedure(std::int64_t lastPhysical, std::int64_t codeThrough);
    ProcedureMetrics* current() { return open_ ? &out_.procedures.back() : nullptr; }

    ModuleMetrics& out_;
    const char* limit_;          // the end of the module's text, which the scans may read up to
    ByteCursor cursor_;
    bool open_ = false;          // the last procedure has not ended yet
    std::int64_t openCodeBase_ = 0;  // code lines before the open procedure's first line
    std::int64_t openDepth_ = 0;

    // The logical line being gathered.
    std::vector<Token> tokens_;
    bool lineStarted_ = false;
    bool continues_ = false;       // the last physical line ended in a continuation
    bool commentGoesOn_ = false;   // ... inside a comment
    bool hadTokens_ = false;       // tokens of this line were processed already (a long line)
    bool hasComment_ = false;
    LineClass class_ = LineClass::Undecided;
    std::int64_t firstPhysical_ = 0;
    std::int64_t lastPhysical_ = 0;
    std::int64_t codeBefore_ = 0;  // physical code lines before the logical line
    std::int64_t codeLines_ = 0;   // physical code lines so far

    // Within a segment.
    bool inCondition_ = false;
    bool conditionOfIf_ = false;
    std::int64_t segmentStatements_ = 0;
    bool endsProcedure_ = false;
};

inline void Analyzer::push(Tok type, std::string_view text)
{
    if (tokens_.size() < kTokenFlush) [[likely]] {
        tokens_.push_back({type, text});
        return;
    }
    pushOnLongLine(type, text);
}

void Analyzer::pushOnLongLine(Tok type, std::string_view text)
{
    if (tokens_.size() >= kTokenLimit && type != Tok::Colon)
        return;
    if (type == Tok::Colon) {
        processTokens(false);
        return;
    }
    tokens_.push_back({type, text});
}

bool Analyzer::atStatementStart() const
{
    // Tokens already processed of a long line end at a `:`.
    if (tokens_.empty())
        return true;
    const Token& last = tokens_.back();
    return last.type == Tok::Colon || (tokens_.size() == 1 && last.type == Tok::Number);
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
            hasComment_ = true;
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
                hasComment_ = true;
                if (endsInContinuation(line.substr(i)))
                    continues_ = commentGoesOn_ = true;
                return;
            }
            const bool member = !tokens_.empty() && i > 0 && (line[i - 1] == '.' || line[i - 1] == '!')
                                && (tokens_.back().type == Tok::Dot
                                    || (tokens_.back().text.size() == 1 && tokens_.back().text[0] == '!'));
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
            if (tokens_.empty() && !hadTokens_ && i + 1 < n && isIdentStart(line[i + 1])) {
                push(Tok::Hash, line.substr(i, 1));
                ++i;
                continue;
            }
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

const char* Analyzer::physicalLineAt(const char* p, std::int64_t number)
{
    // The one plain statement that most code lines are (see plainStatement)
    // is told and counted here in the same forward scan that finds the
    // line's end; any other line, and the first (which may begin with a
    // byte-order mark), goes the whole way.
    const char* const end = cursor_.end();
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
                hasComment_ = !blank;
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
    hasComment_ = false;
    hadTokens_ = false;
    class_ = LineClass::Undecided;
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

void Analyzer::endLogicalLine()
{
    processTokens(true);
    lineStarted_ = false;
}

// Classifies the line on its first tokens, then processes its segments; a
// call before the line's end (a very long line) leaves its last, unfinished
// segment for later only when no `:` ends it.
void Analyzer::processTokens(bool lineEnds)
{
    if (class_ == LineClass::Undecided) {
        if (tokens_.empty())
            return; // blank or comment: nothing counts
        if (is(tokens_[0], "attribute")) {
            class_ = LineClass::Attribute;
        } else if (tokens_[0].type == Tok::Hash && tokens_.size() > 1
                   && (is(tokens_[1], "if") || is(tokens_[1], "elseif") || is(tokens_[1], "else")
                       || is(tokens_[1], "end") || is(tokens_[1], "const"))) {
            class_ = LineClass::Directive;
        } else {
            class_ = LineClass::Code;
        }
        if (class_ != LineClass::Attribute) {
            ++out_.lloc;
            if (ProcedureMetrics* p = current())
                ++p->lloc;
        }
    }
    if (class_ != LineClass::Code) {
        tokens_.clear();
        hadTokens_ = true;
        return;
    }
    std::size_t b = 0;
    if (!hadTokens_) {
        // A leading line number or label (a name and `:`, never `:=`).
        if (tokens_[0].type == Tok::Number) {
            b = (tokens_.size() > 1 && tokens_[1].type == Tok::Colon) ? 2 : 1;
        } else if (tokens_[0].type == Tok::Word && tokens_.size() > 1 && tokens_[1].type == Tok::Colon
                   && !isReservedWord(tokens_[0].text)) {
            b = 2;
        }
    }
    const std::size_t n = tokens_.size();
    std::size_t s = b;
    for (std::size_t i = b; i <= n; ++i) {
        if (i == n || tokens_[i].type == Tok::Colon) {
            if (i > s)
                segment(s, i, i == n, lineEnds);
            s = i + 1;
        }
    }
    tokens_.clear();
    hadTokens_ = true;
}

void Analyzer::openBlocks(std::int64_t delta)
{
    openDepth_ = std::max<std::int64_t>(0, openDepth_ + delta);
    if (ProcedureMetrics* p = current())
        p->depth = std::max(p->depth, openDepth_);
}

// One statement that begins at token i of a segment ending at e.
void Analyzer::statementStart(std::size_t i, std::size_t e)
{
    const Token& t = tokens_[i];
    if (t.type != Tok::Word)
        return;
    ProcedureMetrics* p = current();
    auto addCc = [&](std::int64_t k) {
        if (p) {
            p->cc += k;
            p->cc2 += k;
        }
    };
    auto next = [&](std::string_view w) { return i + 1 < e && is(tokens_[i + 1], w); };
    // The items of a list that runs from token `from` to the statement's end.
    auto listItems = [&](std::size_t from) {
        std::int64_t items = 0;
        bool inItem = false;
        for (std::size_t k = from; k < e && !is(tokens_[k], "else"); ++k) {
            if (tokens_[k].type == Tok::Comma) {
                inItem = false;
            } else if (!inItem) {
                inItem = true;
                ++items;
            }
        }
        return items;
    };
    const std::string_view w = t.text;
    switch (w.size()) {
    case 2:
        if (is(t, "if")) {
            addCc(1);
            inCondition_ = true;
            conditionOfIf_ = true;
        } else if (is(t, "do")) {
            openBlocks(1);
            if (next("while") || next("until")) {
                addCc(1);
                inCondition_ = true;
                conditionOfIf_ = false;
            }
        } else if (is(t, "on") && !next("error") && !next("local")) {
            for (std::size_t k = i + 1; k < e; ++k) {
                if (is(tokens_[k], "goto") || is(tokens_[k], "gosub")) {
                    addCc(listItems(k + 1));
                    break;
                }
            }
        }
        break;
    case 3:
        if (is(t, "for")) {
            addCc(1);
            openBlocks(1);
        } else if (is(t, "end")) {
            if (next("if") || next("select"))
                openBlocks(-1);
            else if (next("sub") || next("function") || next("property"))
                endsProcedure_ = open_;
        }
        break;
    case 4:
        if (is(t, "case")) {
            if (!next("else"))
                addCc(1);
        } else if (is(t, "next")) {
            openBlocks(-std::max<std::int64_t>(1, listItems(i + 1)));
        } else if (is(t, "loop")) {
            openBlocks(-1);
            if (next("while") || next("until")) {
                addCc(1);
                inCondition_ = true;
                conditionOfIf_ = false;
            }
        } else if (is(t, "wend")) {
            openBlocks(-1);
        }
        break;
    case 5:
        if (is(t, "while")) {
            addCc(1);
            openBlocks(1);
            inCondition_ = true;
            conditionOfIf_ = false;
        }
        break;
    case 6:
        if (is(t, "elseif")) {
            addCc(1);
            inCondition_ = true;
            conditionOfIf_ = false;
        } else if (is(t, "select") && next("case")) {
            openBlocks(1);
        }
        break;
    default:
        break;
    }
}

void Analyzer::segment(std::size_t s, std::size_t e, bool lastSegment, bool lineEnds)
{
    segmentStatements_ = 1;
    inCondition_ = false;
    conditionOfIf_ = false;
    endsProcedure_ = false;

    // A header, a Declare or an Event outside any procedure.
    if (!open_) {
        std::size_t j = s;
        if (j < e && (is(tokens_[j], "public") || is(tokens_[j], "private") || is(tokens_[j], "friend")
                      || is(tokens_[j], "global")))
            ++j;
        if (j < e && is(tokens_[j], "static"))
            ++j;
        std::optional<ProcedureKind> kind;
        std::size_t nameAt = j + 1;
        if (j < e && is(tokens_[j], "sub")) {
            kind = ProcedureKind::Sub;
        } else if (j < e && is(tokens_[j], "function")) {
            kind = ProcedureKind::Function;
        } else if (j + 1 < e && is(tokens_[j], "property")) {
            nameAt = j + 2;
            if (is(tokens_[j + 1], "get"))
                kind = ProcedureKind::PropertyGet;
            else if (is(tokens_[j + 1], "let"))
                kind = ProcedureKind::PropertyLet;
            else if (is(tokens_[j + 1], "set"))
                kind = ProcedureKind::PropertySet;
        } else if (j < e && is(tokens_[j], "declare")) {
            ++out_.declares;
        } else if (j < e && is(tokens_[j], "event")) {
            ++out_.events;
        }
        if (kind && nameAt < e && (tokens_[nameAt].type == Tok::Word || tokens_[nameAt].type == Tok::Member)) {
            ProcedureMetrics p;
            p.kind = *kind;
            p.name = toDisplayText(tokens_[nameAt].text);
            p.firstLine = firstPhysical_;
            p.lloc = 1; // the header's line
            out_.procedures.push_back(std::move(p));
            open_ = true;
            openDepth_ = 0;
            openCodeBase_ = codeBefore_;
        }
    }

    std::size_t stmt = s;
    for (std::size_t i = s; i < e; ++i) {
        if (i == stmt)
            statementStart(i, e);
        const Token& t = tokens_[i];
        if (t.type != Tok::Word)
            continue;
        if (inCondition_ && (is(t, "and") || is(t, "or") || is(t, "xor"))) {
            if (ProcedureMetrics* p = current())
                ++p->cc2;
        } else if (is(t, "then")) {
            inCondition_ = false;
            if (i + 1 < e) {
                ++segmentStatements_;
                stmt = i + 1;
            } else if (conditionOfIf_ && lastSegment && lineEnds) {
                openBlocks(1); // nothing after Then: a block If
            }
            conditionOfIf_ = false;
        } else if (is(t, "else") && !(i > s && is(tokens_[i - 1], "case"))) {
            inCondition_ = false;
            if (i + 1 < e) {
                ++segmentStatements_;
                stmt = i + 1;
            }
        }
    }

    out_.statements += segmentStatements_;
    if (ProcedureMetrics* p = current())
        p->statements += segmentStatements_;
    if (endsProcedure_)
        closeProcedure(lastPhysical_, codeLines_);
}

void Analyzer::closeProcedure(std::int64_t lastPhysical, std::int64_t codeThrough)
{
    ProcedureMetrics& p = out_.procedures.back();
    p.span = lastPhysical - p.firstLine + 1;
    p.codeLines = codeThrough - openCodeBase_;
    open_ = false;
}

void Analyzer::finish(std::int64_t lastLine)
{
    if (lineStarted_)
        endLogicalLine();
    // A procedure without its end runs to the module's last line.
    if (open_)
        closeProcedure(lastLine, codeLines_);
}

// Threads that analyse the modules of a project at once: this machine's
// cores, and no more than a few (each holds one module's text).
// The count's header lines of a module. The header of a class or form
// usually ends within its first few KiB: a line found there is the one the
// whole text gives (the lines before it, and it, lie whole in that part), so
// the whole text is looked through only when that part holds none.
std::int64_t moduleHeaderLines(std::string_view text, bool standardModule)
{
    constexpr std::size_t kFirstPart = 4096;
    if (!standardModule && text.size() > kFirstPart)
        if (const std::int64_t lines = headerLinesOf(text.substr(0, kFirstPart), false); lines > 0)
            return lines;
    return headerLinesOf(text, standardModule);
}

std::size_t analysisWorkers()
{
    static const std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
    return workers;
}

void markNamesDefinedTwice(std::vector<ProcedureMetrics>& procedures)
{
    // Property Get, Let and Set of one name are one property; any other two
    // procedures of one name are defined twice (for example in two #If branches).
    // The procedures ordered by their name in any letter case, so that each
    // name's procedures stand together.
    std::vector<std::pair<std::string, std::size_t>> byName;
    byName.reserve(procedures.size());
    for (std::size_t i = 0; i < procedures.size(); ++i)
        byName.emplace_back(lowerAsciiText(procedures[i].name), i);
    std::sort(byName.begin(), byName.end());
    for (std::size_t first = 0; first < byName.size();) {
        std::size_t last = first + 1;
        while (last < byName.size() && byName[last].first == byName[first].first)
            ++last;
        std::array<int, kProcedureKindCount> byKind{};
        for (std::size_t k = first; k < last; ++k)
            ++byKind[static_cast<std::size_t>(procedures[byName[k].second].kind)];
        const std::size_t members = last - first;
        const int properties = byKind[2] + byKind[3] + byKind[4];
        const int others = static_cast<int>(members) - properties;
        for (std::size_t k = first; k < last; ++k) {
            ProcedureMetrics& p = procedures[byName[k].second];
            const auto kind = static_cast<std::size_t>(p.kind);
            const bool property = kind >= 2;
            p.definedTwice = byKind[kind] > 1 || (property ? others > 0 : members > 1);
        }
        first = last;
    }
}

} // namespace

std::string_view procedureKindText(ProcedureKind kind)
{
    switch (kind) {
    case ProcedureKind::Sub: return "Sub";
    case ProcedureKind::Function: return "Function";
    case ProcedureKind::PropertyGet: return "Property Get";
    case ProcedureKind::PropertyLet: return "Property Let";
    case ProcedureKind::PropertySet: return "Property Set";
    }
    return {};
}

ModuleMetrics analyzeModuleText(std::string_view text, std::int64_t headerLines)
{
    ModuleMetrics out;
    Analyzer analyzer(out, text);
    std::int64_t number = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    // Lines end in CR LF, LF or CR, as the line reader splits them.
    while (p < end) {
        ++number;
        const char* const stop = number <= headerLines ? analyzer.skipLineAt(p) : analyzer.physicalLineAt(p, number);
        p = afterLineEnd(stop, end);
    }
    analyzer.finish(number);
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
    return out;
}

std::optional<ModuleMetrics> analyzeModuleFile(const std::filesystem::path& path, bool standardModule)
{
    std::string text;
    if (readRegularFile(path, text) != ReadStatus::Ok)
        return std::nullopt;
    return analyzeModuleText(text, moduleHeaderLines(text, standardModule));
}

std::vector<ModuleAnalysis> analyzeProjectText(std::string_view projectText, const std::filesystem::path& projectFolder)
{
    FileSystemTree tree;
    return analyzeProjectText(projectText, projectFolder, tree);
}

std::vector<ModuleAnalysis> analyzeProjectText(std::string_view projectText, const std::filesystem::path& projectFolder,
                                               SourceTree& tree)
{
    const std::vector<std::string> entries = readModuleEntries(projectText);
    std::vector<ModuleAnalysis> result(entries.size());
    // Modules are independent of each other: each worker takes the next
    // entry, reads it while it holds the tree (which serves one caller at a
    // time) and analyses it on its own, into the entry's own place, so the
    // result is the same in any order of work.
    std::mutex treeLock;
    std::size_t next = 0;          // the next entry to take, under treeLock
    std::exception_ptr failure;    // the first failure of any worker, under treeLock
    auto work = [&] {
        std::string text; // the modules a worker reads share its storage
        try {
            for (;;) {
                std::size_t i = 0;
                bool read = false;
                {
                    const std::lock_guard<std::mutex> hold(treeLock);
                    if (next == entries.size() || failure)
                        return;
                    i = next++;
                    const auto resolved = tree.resolve(projectFolder, entries[i]);
                    read = resolved && tree.read(*resolved, text) == ReadStatus::Ok;
                }
                const std::string& path = entries[i];
                ModuleAnalysis& module = result[i];
                module.module = toDisplayText(path);
                if (read)
                    module.metrics = analyzeModuleText(text, moduleHeaderLines(text, isStandardModulePath(path)));
                module.type = module.metrics ? std::string(moduleTypeOf(path)) : std::string(kTypeInvalid);
            }
        } catch (...) {
            const std::lock_guard<std::mutex> hold(treeLock);
            if (!failure)
                failure = std::current_exception();
        }
    };
    const std::size_t workers = std::min<std::size_t>(entries.size(), analysisWorkers());
    std::vector<std::thread> helpers;
    for (std::size_t k = 1; k < workers; ++k) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no more threads to be had: fewer workers do the same work
        }
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
    return result;
}

} // namespace zorvika
