#include "analysis/procedure_metrics.h"

#include "analysis/keywords.h"
#include "analysis/line_counter.h"
#include "base/byte_scan.h"
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

namespace zorvika {

namespace {

enum class Tok : std::uint8_t { Word, Member, Number, String, Date, Colon, Assign, Comma, Dot, Hash, Other };

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

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
    void segmentToken(Tok type, Keyword kw, std::string_view text);
    void beginSegment();
    void endSegment(bool lineEnds);
    void decideHeader();
    void statementToken(Tok type, Keyword kw);
    void statementStart(Keyword kw);
    void resolveAwaited(Keyword next);
    void finishList();
    void openBlocks(std::int64_t delta);
    void addCc(std::int64_t k);
    ProcedureMetrics* current() { return open_ ? &out_.procedures.back() : nullptr; }

    ModuleMetrics& out_;
    const char* limit_ = nullptr; // the end of the part of the text that the scans may read up to
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
    Keyword heldLabelKw_ = Keyword::None;
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
    std::array<Keyword, kHeaderTokens> heldKw_{};
    std::array<std::string, kHeaderTokens> heldText_;
    std::int64_t segmentStatements_ = 0;
    bool inCondition_ = false;
    bool conditionOfIf_ = false;
    bool endsProcedure_ = false;
    bool statementNext_ = false;  // the next token begins a statement
    bool afterBranch_ = false;    // the last token was a `Then` or `Else`: a token after it begins a statement
    bool branchOpensBlock_ = false; // ... the `Then` of an If, which opens a block when nothing follows it
    bool afterCase_ = false;      // the last token was `Case`
    Keyword awaited_ = Keyword::None;       // a statement's first word whose meaning the next token tells
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
        if (byteClassOf(c) & kBlankByte) {
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
        if (isNameStart(c)) {
            std::size_t j = static_cast<std::size_t>(
                nextOfClassWithin<ByteClass::NonName>(line.data() + i + 1, line.data() + n, limit_) - line.data());
            if (j < n) {
                const std::uint8_t mark = byteClassOf(line[j]);
                if ((mark & kTypeMark) || ((mark & kTypeMarkBeforeName) && !(j + 1 < n && isNameByte(line[j + 1]))))
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
            while (j < n && isNameByte(line[j]))
                ++j;
            if (j < n && (line[j] == '&' || line[j] == '%'))
                ++j;
            push(Tok::Number, line.substr(i, j - i));
            i = j;
            continue;
        }
        if (c == '#') {
            if (lineTokens_ == 0 && i + 1 < n && isNameStart(line[i + 1])) {
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
    if (i == n || !isNameStart(line[i]))
        return false;
    const char* const begin = line.data();
    const char* const end = begin + n;
    const std::size_t j = static_cast<std::size_t>(nextOfClassWithin<ByteClass::NonName>(begin + i + 1, end, limit_) - begin);
    if (beginsNotableStatement(line.substr(i, j - i)))
        return false;
    for (std::size_t k = j; k < n;) {
        k = static_cast<std::size_t>(nextOfClassWithin<ByteClass::Special>(begin + k, end, limit_) - begin);
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
    const char* scanned = p; // no line end lies before this
    bool plainTried = false;
    if (!continues_ && number != 1) {
        const char* const first = nextOfClass<ByteClass::NonBlank>(p, end);
        scanned = first;
        const bool blank = first == end || *first == '\r' || *first == '\n';
        if (blank || *first == '\'') {
            // A blank line, or a comment line that does not go on: a logical
            // line in which nothing counts.
            const char* const lineEnd = blank ? first : nextOfClass<ByteClass::LineEnd>(first, end);
            if (blank || !endsInContinuation(std::string_view(first, static_cast<std::size_t>(lineEnd - first)))) {
                startLogicalLine(number);
                lineStarted_ = false;
                return lineEnd;
            }
            scanned = lineEnd;
        } else if (isNameStart(*first)) {
            const char* const wordEnd = nextOfClass<ByteClass::NonName>(first + 1, end);
            scanned = wordEnd;
            plainTried = true;
            if (!beginsNotableStatement(std::string_view(first, static_cast<std::size_t>(wordEnd - first)))) {
                const char* q = wordEnd;
                const char* lineEnd = nullptr;
                bool plain = false;
                for (;;) {
                    q = nextOfClass<ByteClass::Stop>(q, end);
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
                        lineEnd = nextOfClass<ByteClass::LineEnd>(q, end);
                        plain = !endsInContinuation(std::string_view(p, static_cast<std::size_t>(lineEnd - p)));
                        break;
                    }
                    // A string; one left open ends with the line and continues nothing.
                    for (++q;; ++q) {
                        q = nextOfClass<ByteClass::Stop>(q, end);
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
    const char* const lineEnd = nextOfClass<ByteClass::LineEnd>(scanned, end);
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
    std::size_t first =
        static_cast<std::size_t>(nextOfClassWithin<ByteClass::NonBlank>(line.data(), end, limit_) - line.data());
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
        segmentToken(Tok::Hash, Keyword::None, {});
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
    const Keyword kw = type == Tok::Word ? keywordOf(text) : Keyword::None;
    const bool first = lineTokens_ == 0;
    ++lineTokens_;
    lastType_ = type;
    lastBang_ = type == Tok::Other && text == "!";
    if (class_ == LineClass::Undecided) {
        if (first) {
            if (kw == Keyword::Attribute) {
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
            if (kw == Keyword::If || kw == Keyword::ElseIf || kw == Keyword::Else || kw == Keyword::End || kw == Keyword::Const) {
                countLine(LineClass::Directive);
                return;
            }
            countLine(LineClass::Code);
            segmentToken(Tok::Hash, Keyword::None, {});
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
    awaited_ = Keyword::None;
    list_ = ListState::None;
    seekingHeader_ = !open_;
    held_ = 0;
}

void Analyzer::segmentToken(Tok type, Keyword kw, std::string_view text)
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
    auto isWord = [&](std::size_t k, Keyword w) { return k < e && heldKw_[k] == w; };
    std::size_t j = 0;
    if (isWord(j, Keyword::Public) || isWord(j, Keyword::Private) || isWord(j, Keyword::Friend) || isWord(j, Keyword::Global))
        ++j;
    if (isWord(j, Keyword::Static))
        ++j;
    std::optional<ProcedureKind> kind;
    std::size_t nameAt = j + 1;
    if (isWord(j, Keyword::Sub)) {
        kind = ProcedureKind::Sub;
    } else if (isWord(j, Keyword::Function)) {
        kind = ProcedureKind::Function;
    } else if (j + 1 < e && isWord(j, Keyword::Property)) {
        nameAt = j + 2;
        if (isWord(j + 1, Keyword::Get))
            kind = ProcedureKind::PropertyGet;
        else if (isWord(j + 1, Keyword::Let))
            kind = ProcedureKind::PropertyLet;
        else if (isWord(j + 1, Keyword::Set))
            kind = ProcedureKind::PropertySet;
    } else if (isWord(j, Keyword::Declare)) {
        ++out_.declares;
    } else if (isWord(j, Keyword::Event)) {
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
    resolveAwaited(Keyword::None);
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
void Analyzer::statementToken(Tok type, Keyword kw)
{
    if (afterBranch_) {
        afterBranch_ = false;
        ++segmentStatements_;
        statementNext_ = true;
    }
    if (awaited_ != Keyword::None)
        resolveAwaited(kw);
    if (list_ != ListState::None) {
        // A list runs to its statement's end: a `Then`, an `Else` or the segment's end.
        if (kw == Keyword::Then || kw == Keyword::Else) {
            finishList();
        } else if (list_ == ListState::SeekingGoTo) {
            if (kw == Keyword::GoTo || kw == Keyword::GoSub) {
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
        if (inCondition_ && (kw == Keyword::And || kw == Keyword::Or || kw == Keyword::Xor)) {
            if (ProcedureMetrics* p = current())
                ++p->cc2;
        } else if (kw == Keyword::Then) {
            inCondition_ = false;
            afterBranch_ = true;
            branchOpensBlock_ = conditionOfIf_;
            conditionOfIf_ = false;
        } else if (kw == Keyword::Else && !afterCase_) {
            inCondition_ = false;
            afterBranch_ = true;
            branchOpensBlock_ = false;
        }
    }
    afterCase_ = kw == Keyword::Case;
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
void Analyzer::statementStart(Keyword kw)
{
    switch (kw) {
    case Keyword::If:
        addCc(1);
        inCondition_ = true;
        conditionOfIf_ = true;
        break;
    case Keyword::Do:
        openBlocks(1);
        awaited_ = kw;
        break;
    case Keyword::Loop:
        openBlocks(-1);
        awaited_ = kw;
        break;
    case Keyword::On:
    case Keyword::End:
    case Keyword::Case:
    case Keyword::Select:
        awaited_ = kw;
        break;
    case Keyword::For:
        addCc(1);
        openBlocks(1);
        break;
    case Keyword::Next:
        // `Next i, j` ends as many loops as it names, and at least one.
        list_ = ListState::Items;
        listOfNext_ = true;
        inItem_ = false;
        items_ = 0;
        break;
    case Keyword::Wend:
        openBlocks(-1);
        break;
    case Keyword::While:
        addCc(1);
        openBlocks(1);
        inCondition_ = true;
        conditionOfIf_ = false;
        break;
    case Keyword::ElseIf:
        addCc(1);
        inCondition_ = true;
        conditionOfIf_ = false;
        break;
    default:
        break;
    }
}

// The word after a statement's first word (Keyword::None: none, or no word).
void Analyzer::resolveAwaited(Keyword next)
{
    switch (awaited_) {
    case Keyword::Do:
    case Keyword::Loop:
        if (next == Keyword::While || next == Keyword::Until) {
            addCc(1);
            inCondition_ = true;
            conditionOfIf_ = false;
        }
        break;
    case Keyword::On:
        // `On x GoTo a, b, c` adds its labels; `On Error` and `On Local Error` nothing.
        if (next != Keyword::Error && next != Keyword::Local) {
            list_ = ListState::SeekingGoTo;
            listOfNext_ = false;
        }
        break;
    case Keyword::End:
        if (next == Keyword::If || next == Keyword::Select)
            openBlocks(-1);
        else if (next == Keyword::Sub || next == Keyword::Function || next == Keyword::Property)
            endsProcedure_ = open_;
        break;
    case Keyword::Case:
        if (next != Keyword::Else)
            addCc(1);
        break;
    case Keyword::Select:
        if (next == Keyword::Case)
            openBlocks(1);
        break;
    default:
        break;
    }
    awaited_ = Keyword::None;
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

    static const char* skipLine(const char* p, const char* end) { return nextOfClass<ByteClass::LineEnd>(p, end); }

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
            const char* const e = nextOfClass<ByteClass::LineEnd>(p, end);
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
