#include "reports/email_address.h"

#include "platform/cp1252.h"

#include <optional>

namespace vu {

namespace {

enum class State {
    Start,
    Local,
    Quoted,
    QuotedEscape,
    AfterQuote,
    LocalDot,
    DomainStart,
    Domain,
    DomainHyphen
};

bool isAtom(unsigned char c) {
    switch (c) {
    case '"':
    case '(':
    case ')':
    case ',':
    case '.':
    case '/':
    case ':':
    case ';':
    case '<':
    case '>':
    case '@':
    case '[':
    case '\\':
    case ']':
    case 127:
        return false;
    default:
        return c >= 33;
    }
}

bool isLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// The next state after `c`, or nothing when `c` rejects the text.
std::optional<State> next(State state, unsigned char c, int& domainDots) {
    switch (state) {
    case State::Start:
        if (c == '"') {
            return State::Quoted;
        }
        return isAtom(c) ? std::optional(State::Local) : std::nullopt;
    case State::Local:
        if (c == '@') {
            return State::DomainStart;
        }
        if (c == '.') {
            return State::LocalDot;
        }
        return isAtom(c) ? std::optional(State::Local) : std::nullopt;
    case State::Quoted:
        if (c == '\\') {
            return State::QuotedEscape;
        }
        if (c == '"') {
            return State::AfterQuote;
        }
        return c == '\r' ? std::nullopt : std::optional(State::Quoted);
    case State::QuotedEscape:
        return State::Quoted;
    case State::AfterQuote:
        if (c == '@') {
            return State::DomainStart;
        }
        return c == '.' ? std::optional(State::LocalDot) : std::nullopt;
    case State::LocalDot:
        if (c == '"') {
            return State::Quoted;
        }
        return isAtom(c) ? std::optional(State::Local) : std::nullopt;
    case State::DomainStart:
        return isLetter(c) ? std::optional(State::Domain) : std::nullopt;
    case State::Domain:
        if (c == '.') {
            ++domainDots;
            return State::DomainStart;
        }
        if (c == '-') {
            return State::DomainHyphen;
        }
        return isLetter(c) || isDigit(c) ? std::optional(State::Domain) : std::nullopt;
    case State::DomainHyphen:
        if (c == '-') {
            return State::DomainHyphen;
        }
        return isLetter(c) || isDigit(c) ? std::optional(State::Domain) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

bool isValidEmailAddress(const QString& text) {
    State state = State::Start;
    int domainDots = 0;
    // The check runs over the bytes the address has in the program's code page.
    for (const char byte : toCp1252(text)) {
        const std::optional<State> after =
            next(state, static_cast<unsigned char>(byte), domainDots);
        if (!after) {
            return false;
        }
        state = *after;
    }
    return state == State::Domain && domainDots > 0;
}

} // namespace vu
