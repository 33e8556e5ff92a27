// Builds General sort-order keys. A key has up to three parts after the weights: the accent
// and case marks (one per letter of the sort order, so two for a character that weighs as
// two letters, trailing "no mark" values dropped), the kana flags, and the control
// characters with their positions.
#include "jet/keys/TextKey.h"

#include "core/TextEncoding.h"
#include "jet/keys/GeneralSortTable.h"
#include "jet/keys/KeyBytes.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace jet {

namespace {

constexpr std::uint8_t endOfPart = 0x01;
constexpr std::uint8_t endOfText = 0x00;
constexpr std::uint8_t noMark = 0x02;     // mark of a character without one
constexpr std::uint8_t controlTag = 0x06; // precedes each control character's code
constexpr std::uint8_t normalKana = 3;

class TextKeyWriter {
public:
    explicit TextKeyWriter(core::Bytes& out) : out_(out), start_(out.size()) {}

    void add(char16_t unit) {
        const SortCode code = generalSortCode(unit);
        const std::size_t position = weighted_;
        switch (code.sortClass) {
        case SortClass::Ignored:
            return;
        case SortClass::Plain:
            appendWeight(code);
            return;
        case SortClass::Accented:
            appendWeight(code);
            addMarks(position, code);
            return;
        case SortClass::Kana:
            appendWeight(code);
            if (code.markLength > 0) addMarks(position, code);
            kanaFlags_.push_back(code.kanaFlag);
            return;
        case SortClass::Diacritic:
            addDiacritic(position, code.mark[0]);
            return;
        case SortClass::Control:
            addControl(position, code.mark[0]);
            return;
        }
    }

    void finish(bool ascending) {
        out_.push_back(endOfPart);
        while (!marks_.empty() && marks_.back() <= noMark) marks_.pop_back();
        out_.insert(out_.end(), marks_.begin(), marks_.end());
        if (!kanaFlags_.empty() || !controls_.empty()) {
            out_.push_back(endOfPart);
            out_.push_back(endOfPart);
            if (!kanaFlags_.empty()) {
                appendKanaFlags();
                if (!controls_.empty()) out_.push_back(0xFF);
            }
            if (!controls_.empty()) {
                out_.push_back(endOfPart);
                out_.insert(out_.end(), controls_.begin(), controls_.end());
            }
        }
        if (!ascending) {
            // The end byte is written before complementing and once more after, so a
            // descending key still ends in 00 and a shorter text still sorts "after".
            out_.push_back(endOfText);
            key_bytes::complementFrom(out_, start_);
        }
        out_.push_back(endOfText);
    }

private:
    void appendWeight(const SortCode& code) {
        out_.insert(out_.end(), code.weight.begin(), code.weight.begin() + code.weightLength);
        weighted_ += sortLetters(code);
    }

    // Characters without marks before `position` get the neutral mark.
    void padMarksTo(std::size_t position) {
        if (markedChars_ < position) {
            marks_.insert(marks_.end(), position - markedChars_, noMark);
            markedChars_ = position;
        }
    }

    void addMarks(std::size_t position, const SortCode& code) {
        marksStarted_ = true;
        padMarksTo(position);
        // An expanding character carries one mark per letter it weighs as.
        marks_.insert(marks_.end(), code.mark.begin(), code.mark.begin() + code.markLength);
        markedChars_ += code.markLength;
    }

    // A combining mark adds to the mark of what precedes it, so "e" + U+0301 keys like "é".
    void addDiacritic(std::size_t position, std::uint8_t increment) {
        marksStarted_ = true;
        padMarksTo(position);
        if (!marks_.empty()) {
            marks_.back() = std::uint8_t(marks_.back() + increment);
        } else {
            marks_.push_back(increment);
            leadingDiacritics_ = 1;
        }
    }

    // The position is counted in mark bytes once marks exist, the way the original engine
    // counts it.
    void addControl(std::size_t position, std::uint8_t code) {
        std::size_t at = position;
        if (marksStarted_) at = marks_.size() + (position - markedChars_) - leadingDiacritics_;
        const auto tag = std::uint16_t((7 + 4 * at) | 0x8000);
        controls_.push_back(std::uint8_t(tag >> 8));
        controls_.push_back(std::uint8_t(tag));
        controls_.push_back(controlTag);
        controls_.push_back(code);
    }

    // Three two-bit flags per byte under a fixed top bit; trailing "normal" flags are implied.
    void appendKanaFlags() {
        while (!kanaFlags_.empty() && kanaFlags_.back() == normalKana) kanaFlags_.pop_back();
        std::uint8_t packed = 0x80;
        int filled = 0;
        for (std::uint8_t flag : kanaFlags_) {
            packed = std::uint8_t(packed | flag << ((2 - filled) * 2));
            if (++filled == 3) {
                out_.push_back(packed);
                packed = 0x80;
                filled = 0;
            }
        }
        if (filled > 0) out_.push_back(packed);
        static constexpr std::uint8_t suffix[] = {0xFF, 0x02, 0x80, 0xFF, 0x80};
        out_.insert(out_.end(), std::begin(suffix), std::end(suffix));
    }

    core::Bytes& out_;
    std::size_t start_;
    std::size_t weighted_ = 0; // letters of the sort order so far
    std::vector<std::uint8_t> marks_;
    std::size_t markedChars_ = 0; // letters the marks cover
    std::size_t leadingDiacritics_ = 0;
    bool marksStarted_ = false;
    std::vector<std::uint8_t> controls_;
    std::vector<std::uint8_t> kanaFlags_;
};

} // namespace

void appendTextKey(core::Bytes& out, std::string_view utf8, bool ascending, std::size_t maxUnits) {
    TextKeyWriter writer(out);
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < utf8.size() && units < maxUnits;) {
        const auto byte = std::uint8_t(utf8[pos]);
        if (byte < 0x80) {
            writer.add(char16_t(byte));
            ++units;
            ++pos;
            continue;
        }
        const auto [cp, length] = core::decodeUtf8(utf8, pos);
        pos += length;
        if (cp >= 0x10000) {
            units += 2; // a surrogate pair: ignored by the sort order
            continue;
        }
        writer.add(char16_t(cp));
        ++units;
    }
    writer.finish(ascending);
}

void appendIndexTextKey(core::Bytes& out, std::string_view utf8, bool ascending) {
    const std::size_t end = utf8.find_last_not_of(' ');
    appendTextKey(out, utf8.substr(0, end == std::string_view::npos ? 0 : end + 1), ascending,
                  indexedTextUnits);
}

core::Bytes textSortKey(std::string_view utf8) {
    core::Bytes key;
    key.reserve(utf8.size() + 4);
    appendTextKey(key, utf8, true);
    return key;
}

int compareText(std::string_view a, std::string_view b) {
    const core::Bytes ka = textSortKey(a);
    const core::Bytes kb = textSortKey(b);
    const auto [pa, pb] = std::mismatch(ka.begin(), ka.end(), kb.begin(), kb.end());
    if (pa != ka.end() && pb != kb.end()) return *pa < *pb ? -1 : 1;
    return (pa == ka.end() ? 0 : 1) - (pb == kb.end() ? 0 : 1);
}

} // namespace jet
