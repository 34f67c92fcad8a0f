#pragma once
// The words of the language that the procedure analysis acts on: the
// statements' words, those that begin a statement it looks into, and the
// keywords told once as a word is read (through a table in which each has a
// slot of its own).
#include "base/line_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zorvika {

// Words that are statements or parts of them; one of these followed by `:`
// at a line's start is that statement, not a label.
bool isReservedWord(std::string_view w);

// Words that begin a statement the analysis looks into: blocks, branches,
// loops, headers, ends, declarations, attributes and comments.
inline bool beginsNotableStatement(std::string_view w)
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
enum class Keyword : std::uint8_t {
    None, And, Attribute, Case, Const, Declare, Do, Else, ElseIf, End, Error, Event, For, Friend, Function, Get,
    Global, GoSub, GoTo, If, Let, Local, Loop, Next, On, Or, Private, Property, Public, Select, Set, Static, Sub,
    Then, Until, Wend, While, Xor
};

// The table behind keywordOf.
namespace keyword_slots {

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
    Keyword kw = Keyword::None;
};
struct KeywordText {
    std::string_view text;
    Keyword kw;
};
inline constexpr KeywordText kKeywords[] = {
    {"and", Keyword::And}, {"case", Keyword::Case}, {"const", Keyword::Const}, {"declare", Keyword::Declare},
    {"do", Keyword::Do}, {"else", Keyword::Else}, {"elseif", Keyword::ElseIf}, {"end", Keyword::End},
    {"error", Keyword::Error}, {"event", Keyword::Event}, {"for", Keyword::For}, {"friend", Keyword::Friend},
    {"function", Keyword::Function}, {"get", Keyword::Get}, {"global", Keyword::Global}, {"gosub", Keyword::GoSub},
    {"goto", Keyword::GoTo}, {"if", Keyword::If}, {"let", Keyword::Let}, {"local", Keyword::Local},
    {"loop", Keyword::Loop}, {"next", Keyword::Next}, {"on", Keyword::On}, {"or", Keyword::Or},
    {"private", Keyword::Private}, {"property", Keyword::Property}, {"public", Keyword::Public},
    {"select", Keyword::Select}, {"set", Keyword::Set}, {"static", Keyword::Static}, {"sub", Keyword::Sub},
    {"then", Keyword::Then}, {"until", Keyword::Until}, {"wend", Keyword::Wend}, {"while", Keyword::While},
    {"xor", Keyword::Xor}};
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
inline constexpr std::uint64_t kSlotFactor = findSlotFactor();

constexpr std::array<KeywordSlot, 1 << kSlotBits> makeKeywordSlots()
{
    std::array<KeywordSlot, 1 << kSlotBits> slots{};
    for (const KeywordText& k : kKeywords)
        slots[slotOf(packed(k.text), kSlotFactor)] = {packed(k.text), k.text.size(), k.kw};
    return slots;
}
inline constexpr std::array<KeywordSlot, 1 << kSlotBits> kKeywordSlots = makeKeywordSlots();

} // namespace keyword_slots

// The word in any letter case: setting bit 0x20 lower-cases an ASCII letter
// and makes no other byte one.
inline Keyword keywordOf(std::string_view w)
{
    const std::size_t n = w.size();
    if (n < 2 || n > 9)
        return Keyword::None;
    if (n == 9)
        return equalsNoCase(w, "attribute") ? Keyword::Attribute : Keyword::None;
    using namespace keyword_slots;
    std::uint64_t v = 0;
    std::memcpy(&v, w.data(), n);
    v |= 0x2020202020202020ull >> (8 * (8 - n));
    const KeywordSlot& slot = kKeywordSlots[slotOf(v, kSlotFactor)];
    return slot.word == v && slot.length == n ? slot.kw : Keyword::None;
}

} // namespace zorvika
