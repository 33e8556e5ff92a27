#include "sql/eval/Like.h"

#include "core/TextUnits.h"
#include "core/TypeConversion.h"
#include "sql/eval/EvalErrors.h"

namespace sql {

namespace {

std::u32string folded(std::string_view text) {
    std::u32string out = core::toCodePoints(text);
    for (char32_t& c : out) c = core::lowerCase(c);
    return out;
}

} // namespace

LikePattern::LikePattern(std::string_view pattern, LikeMode mode) {
    const std::u32string p = folded(pattern);
    const bool ansi92 = mode == LikeMode::Ansi92;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        Element e;
        if (c == (ansi92 ? U'%' : U'*')) {
            // Consecutive runs match what one run matches.
            if (!elements_.empty() && elements_.back().kind == Kind::AnyRun) continue;
            e.kind = Kind::AnyRun;
        } else if (c == (ansi92 ? U'_' : U'?')) {
            e.kind = Kind::AnyOne;
        } else if (c == U'#' && !ansi92) {
            e.kind = Kind::Digit;
        } else if (c == U'[') {
            std::size_t j = i + 1;
            e.kind = Kind::Class;
            if (j < p.size() && (p[j] == U'!' || (ansi92 && p[j] == U'^'))) {
                e.negated = true;
                ++j;
            }
            for (; j < p.size() && p[j] != U']'; ++j) {
                if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
                    e.ranges.push_back({p[j], p[j + 2]});
                    j += 2;
                } else {
                    e.ranges.push_back({p[j], p[j]});
                }
            }
            if (j >= p.size()) throw EvalError("Invalid pattern string");
            i = j;
            // "[]" stands for nothing at all.
            if (e.ranges.empty() && !e.negated) continue;
        } else {
            e.literal = c;
        }
        elements_.push_back(std::move(e));
    }
}

bool LikePattern::matchesOne(const Element& e, char32_t c) {
    switch (e.kind) {
    case Kind::Literal:
        return e.literal == c;
    case Kind::AnyOne:
        return true;
    case Kind::Digit:
        return c >= U'0' && c <= U'9';
    case Kind::Class: {
        bool inside = false;
        for (const Range& r : e.ranges) inside = inside || (c >= r.first && c <= r.last);
        return inside != e.negated;
    }
    case Kind::AnyRun:
        break;
    }
    return false;
}

bool LikePattern::matches(std::string_view text) const {
    const std::u32string t = folded(text);
    const std::size_t n = t.size(), m = elements_.size();
    std::size_t ti = 0, pi = 0;
    // Every element but a run takes exactly one character, so only the latest run ever
    // needs to take more: on a mismatch it grows by one and matching resumes after it.
    std::size_t runElement = m, runStart = 0;
    while (ti < n) {
        if (pi < m && elements_[pi].kind == Kind::AnyRun) {
            runElement = pi++;
            runStart = ti;
        } else if (pi < m && matchesOne(elements_[pi], t[ti])) {
            ++pi;
            ++ti;
        } else if (runElement != m) {
            pi = runElement + 1;
            ti = ++runStart;
        } else {
            return false;
        }
    }
    while (pi < m && elements_[pi].kind == Kind::AnyRun) ++pi;
    return pi == m;
}

core::Value like(const core::Value& text, const core::Value& pattern, LikeMode mode) {
    if (text.isNull() || pattern.isNull()) return {};
    return like(text, LikePattern(core::toText(pattern), mode));
}

core::Value like(const core::Value& text, const LikePattern& pattern) {
    if (text.isNull()) return {};
    return pattern.matches(core::toText(text));
}

} // namespace sql
