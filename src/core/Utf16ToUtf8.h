#pragma once
// Turns a stream of UTF-16 code units into UTF-8, pairing surrogates that arrive in separate
// calls; shared by the plain and the compressed Jet text decoders.
#include "core/TextEncoding.h"

#include <string>

namespace core {

class Utf16ToUtf8 {
public:
    explicit Utf16ToUtf8(std::string& out) : out_(out) {}

    void push(char16_t unit) {
        if (unit < 0x80 && pendingHigh_ == 0) {
            out_.push_back(char(unit));
            return;
        }
        pushSlow(unit);
    }

    // An unpaired high surrogate at the very end still has to show up as U+FFFD.
    void finish() {
        if (pendingHigh_ != 0) appendUtf8(out_, replacement);
        pendingHigh_ = 0;
    }

private:
    static constexpr char32_t replacement = 0xFFFD;

    void pushSlow(char16_t unit) {
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (pendingHigh_ != 0) {
            if (low) {
                appendUtf8(out_, 0x10000 + ((char32_t(pendingHigh_) - 0xD800) << 10) +
                                     (char32_t(unit) - 0xDC00));
                pendingHigh_ = 0;
                return;
            }
            appendUtf8(out_, replacement);
            pendingHigh_ = 0;
        }
        if (high)
            pendingHigh_ = unit;
        else if (low)
            appendUtf8(out_, replacement);
        else
            appendUtf8(out_, unit);
    }

    std::string& out_;
    char16_t pendingHigh_ = 0;
};

} // namespace core
