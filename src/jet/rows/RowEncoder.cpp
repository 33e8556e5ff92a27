#include "jet/rows/RowEncoder.h"

#include "core/Error.h"
#include "core/TextEncoding.h"
#include "jet/file/Bytes.h"
#include "jet/rows/ColumnValue.h"
#include "jet/rows/LongValue.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

namespace jet {

LongValueStore::~LongValueStore() = default;

namespace {

template <class T> std::uint64_t bitsOf(T value) {
    static_assert(sizeof(T) == 4 || sizeof(T) == 8);
    if constexpr (sizeof(T) == 4) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    } else {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    }
}

std::size_t slotWidth(const ColumnDef& c) {
    return fixedWidth(c.type) ? fixedWidth(c.type) : c.size;
}

[[noreturn]] void throwTooLarge() {
    throw core::ConstraintError("Record is too large.");
}

// A fixed-size value as its stored bytes; `out` is exactly the width of the type.
void putFixed(std::span<std::uint8_t> out, const ColumnDef& c, const core::Value& v) {
    std::uint8_t* at = out.data();
    switch (c.type) {
    case ColumnType::Byte:
        at[0] = v.get<std::uint8_t>();
        break;
    case ColumnType::Integer:
        put16(at, static_cast<std::uint16_t>(v.get<std::int16_t>()));
        break;
    case ColumnType::Long:
        put32(at, static_cast<std::uint32_t>(v.get<std::int32_t>()));
        break;
    case ColumnType::Currency:
        put64(at, static_cast<std::uint64_t>(v.get<core::Currency>().units));
        break;
    case ColumnType::Single:
        put32(at, static_cast<std::uint32_t>(bitsOf(v.get<float>())));
        break;
    case ColumnType::Double:
        put64(at, bitsOf(v.get<double>()));
        break;
    case ColumnType::DateTime:
        put64(at, bitsOf(v.get<core::DateTime>().days));
        break;
    case ColumnType::Guid:
        std::copy(v.get<core::Guid>().bytes.begin(), v.get<core::Guid>().bytes.end(), at);
        break;
    case ColumnType::Numeric: {
        // Sign, then four little-endian words from the most significant; Jet leaves the top
        // word zero.
        const auto& d = v.get<core::Decimal>();
        at[0] = d.negative ? 0x80 : 0x00;
        put32(at + 1, 0);
        put32(at + 5, d.hi);
        put32(at + 9, d.mid);
        put32(at + 13, d.lo);
        break;
    }
    default:
        break;
    }
}

[[noreturn]] void throwTooSmall(const ColumnDef& c) {
    throw core::ConstraintError("The field '" + c.name +
                                "' is too small to accept the amount of data you attempted to "
                                "add. Try inserting or pasting less data.");
}

std::string described(char32_t cp) {
    std::string text;
    core::appendUtf8(text, cp);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    return "'" + text + "' (" + code + ")";
}

// Text in the file's encoding; a character it cannot hold is refused, never replaced.
core::Bytes textBytes(const ColumnDef& c, const std::string& text, bool compress,
                      const FileFormat& format) {
    core::EncodedText encoded = format.encodeText(text, compress);
    if (encoded.missing)
        throw core::ConstraintError("The field '" + c.name + "' cannot hold the character " +
                                    described(*encoded.missing) +
                                    ": this database stores text in the Windows-1252 code page, "
                                    "which has no such character.");
    return std::move(encoded.bytes);
}

// Fixed-length text fills its slot, padded with spaces as Access pads it.
void putFixedText(std::span<std::uint8_t> out, const ColumnDef& c, const std::string& text,
                  const FileFormat& format, const core::Bytes* stored) {
    core::Bytes bytes = stored ? *stored : textBytes(c, text, false, format);
    if (bytes.size() > out.size()) throwTooSmall(c);
    std::copy(bytes.begin(), bytes.end(), out.begin());
    const std::size_t unit = format.write.textCharSize;
    for (std::size_t k = bytes.size(); k + unit <= out.size(); k += unit) {
        out[k] = 0x20;
        std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(k + 1), unit - 1, 0);
    }
}

// Fixed-length binary data fills its slot, padded with zeros.
void putFixedBinary(std::span<std::uint8_t> out, const ColumnDef& c, const core::Bytes& bytes) {
    if (bytes.size() > out.size()) throwTooSmall(c);
    std::copy(bytes.begin(), bytes.end(), out.begin());
}

// Whether coerceToColumn would give `v` back as it is. Only text and binary data, whose
// copies cost the most, are told apart; any other value is reported as needing it.
bool isColumnValue(const ColumnDef& c, const core::Value& v) {
    switch (c.type) {
    case ColumnType::Text:
        if (const auto* text = v.getIf<std::string>())
            return core::utf16Length(*text) <= c.maxChars();
        return false;
    case ColumnType::Memo:
        return v.getIf<std::string>() != nullptr;
    case ColumnType::Binary:
        if (const auto* bytes = v.getIf<core::Bytes>()) return bytes->size() <= c.size;
        return false;
    case ColumnType::Ole:
        return v.getIf<core::Bytes>() != nullptr;
    default:
        return false;
    }
}

// What a variable column contributes: its bytes, or for memo and OLE the data the reference
// will name.
struct VariablePart {
    const ColumnDef* column = nullptr;
    core::Bytes bytes;
    bool longValue = false;
    bool inlined = false;
};

core::Bytes variableBytes(const ColumnDef& c, const core::Value& v, const FileFormat& format) {
    switch (c.type) {
    case ColumnType::Text:
        return textBytes(c, v.get<std::string>(), c.isCompressedUnicode(), format);
    case ColumnType::Memo: {
        const auto& text = v.get<std::string>();
        const bool compress =
            c.isCompressedUnicode() && core::utf16Length(text) <= kMaxCompressedMemoUnits;
        return textBytes(c, text, compress, format);
    }
    case ColumnType::Binary:
    case ColumnType::Ole:
        return v.get<core::Bytes>();
    case ColumnType::Boolean:
        return {};
    default: {
        // A fixed-size type kept in the variable area.
        core::Bytes bytes(fixedWidth(c.type));
        putFixed(bytes, c, v);
        return bytes;
    }
    }
}

// The bytes after the variable data, null mask excluded: the offsets of the variable columns
// and the end of data, each as wide as the format's offsets, and their count. Jet 3 offsets
// keep only their low byte; before the count comes one jump entry per 256 bytes the whole
// row spans, entry j naming the first offset at or past (j + 1) * 256 (0xFF when none is, as
// Access writes an entry that only pads the table).
std::size_t jumpCount(std::size_t dataEnd, std::size_t variableCount, std::size_t maskSize,
                      const FileFormat& format) {
    if (format.row.offsetSize != 1) return 0;
    const std::size_t base = dataEnd + variableCount + 1 + format.row.countSize + maskSize;
    std::size_t jumps = 0;
    while ((base + jumps - 1) / 256 > jumps) ++jumps;
    return jumps;
}

std::size_t trailerSize(std::size_t dataEnd, std::size_t variableCount, std::size_t maskSize,
                        const FileFormat& format) {
    return (variableCount + 1) * format.row.offsetSize + format.row.countSize +
           jumpCount(dataEnd, variableCount, maskSize, format);
}

void putCount(core::Bytes& row, std::size_t at, std::size_t count, const FileFormat& format) {
    if (format.row.countSize == 1)
        row[at] = static_cast<std::uint8_t>(count);
    else
        put16(row.data() + at, static_cast<std::uint16_t>(count));
}

void appendOffsetTable(core::Bytes& row, std::span<const std::uint16_t> offsets,
                       std::size_t maskSize, const FileFormat& format) {
    const std::size_t variableCount = offsets.size() - 1;
    const std::size_t jumps = jumpCount(row.size(), variableCount, maskSize, format);
    const std::size_t width = format.row.offsetSize;
    const std::size_t tableAt = row.size();
    row.resize(tableAt + trailerSize(tableAt, variableCount, maskSize, format));
    // Stored backwards from the end of data down to the first column, then the jumps, then
    // the count.
    for (std::size_t k = 0; k <= variableCount; ++k) {
        std::uint8_t* at = row.data() + tableAt + width * (variableCount - k);
        if (width == 1)
            *at = static_cast<std::uint8_t>(offsets[k] & 0xFF);
        else
            put16(at, offsets[k]);
    }
    const std::size_t jumpsEnd = tableAt + width * (variableCount + 1) + jumps;
    for (std::size_t j = 0; j < jumps; ++j) {
        std::size_t first = 0;
        while (first <= variableCount && offsets[first] < (j + 1) * 256) ++first;
        row[jumpsEnd - 1 - j] = first > variableCount ? 0xFF : static_cast<std::uint8_t>(first);
    }
    putCount(row, jumpsEnd, variableCount, format);
}

} // namespace

core::Bytes encodeFixed(const ColumnDef& c, const core::Value& v) {
    core::Bytes bytes(fixedWidth(c.type));
    if (v.isNull()) return bytes;
    // A decimal's digits are stored as they are: its scale belongs to the column.
    const bool asIs = c.type == ColumnType::Numeric && v.type() == core::DataType::Decimal;
    putFixed(bytes, c, asIs ? v : coerceToColumn(c, v));
    return bytes;
}

core::Bytes longValueReference(std::uint32_t length, std::uint8_t kind, std::uint32_t rowPointer) {
    if (length > kMaxLongValueLength)
        throw core::ConstraintError("A memo or OLE value of " + std::to_string(length) +
                                    " bytes is larger than Jet can store.");
    core::Bytes ref(long_value::kReferenceSize, 0);
    ref[0] = static_cast<std::uint8_t>(length);
    ref[1] = static_cast<std::uint8_t>(length >> 8);
    ref[2] = static_cast<std::uint8_t>(length >> 16);
    ref[3] = kind;
    put32(ref.data() + 4, rowPointer);
    return ref;
}

core::Bytes encodeRow(const TableSchema& table, std::span<const core::Value> values,
                      LongValueStore& store, const FileFormat& format,
                      std::span<const std::optional<core::Bytes>> storedText) {
    if (values.size() != table.columns.size() ||
        (!storedText.empty() && storedText.size() != values.size()))
        throw core::Error("A row of table '" + table.name + "' needs " +
                          std::to_string(table.columns.size()) + " values, not " +
                          std::to_string(values.size()) + ".");
    auto storedTextOf = [&](std::size_t i) -> const core::Bytes* {
        const ColumnDef& c = table.columns[i];
        if (storedText.empty() || !storedText[i]) return nullptr;
        if (c.type != ColumnType::Text && c.type != ColumnType::Memo)
            throw core::Error("The field '" + c.name + "' holds no text to store as it is.");
        if (c.type == ColumnType::Text && storedText[i]->size() > c.size) throwTooSmall(c);
        return &*storedText[i];
    };

    // The row carries a bit for every column number ever used, deleted ones included.
    std::size_t columnCount = table.maxColumns;
    std::size_t fixedSize = 0;
    bool hasVariable = table.variableColumns > 0;
    std::size_t variableCount = 0;
    for (const auto& c : table.columns) {
        columnCount = std::max<std::size_t>(columnCount, c.number + 1u);
        if (!c.isFixed()) {
            hasVariable = true;
            variableCount = std::max<std::size_t>(variableCount, c.varIndex + 1u);
        } else if (c.type != ColumnType::Boolean) {
            fixedSize = std::max(fixedSize, c.fixedOffset + slotWidth(c));
        }
    }
    const std::size_t countSize = format.row.countSize;
    const std::size_t countLimit = countSize == 1 ? 0xFF : 0xFFFF;
    // One-byte jump entries keep 0xFF for "none": no offset entry may have that number.
    const std::size_t variableLimit = countSize == 1 ? 0xFE : 0xFFFF;
    if (columnCount > countLimit || variableCount > variableLimit) throwTooLarge();
    const std::size_t maskSize = (columnCount + 7) / 8;
    // A row is encoded for every insert: the mask of a table of up to 256 columns, and a
    // row of common size, take no allocation of their own.
    std::array<std::uint8_t, 32> shortMask{};
    std::vector<std::uint8_t> longMask(maskSize > shortMask.size() ? maskSize : 0);
    const std::span<std::uint8_t> mask =
        longMask.empty() ? std::span(shortMask).first(maskSize) : std::span(longMask);
    auto setBit = [&](std::uint16_t number) {
        mask[number / 8] |= std::uint8_t(1u << (number % 8));
    };

    // Fixed area: every fixed column's slot is present, null or not.
    core::Bytes row;
    row.reserve(countSize + fixedSize + maskSize + 2 * variableCount + 256);
    row.resize(countSize + fixedSize, 0);
    putCount(row, 0, columnCount, format);
    std::vector<VariablePart> parts;
    parts.reserve(variableCount);
    core::Value converted;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns[i];
        // Values already of their column's kind (as the write path hands them over) are used
        // where they are; text and binary data are not copied again.
        const core::Value& v =
            isColumnValue(c, values[i]) ? values[i] : (converted = coerceToColumn(c, values[i]));
        if (c.type == ColumnType::Boolean) {
            if (!v.isNull() && v.get<bool>()) setBit(c.number);
            continue;
        }
        if (v.isNull()) continue;
        setBit(c.number);
        if (c.isFixed()) {
            std::span<std::uint8_t> slot(row.data() + countSize + c.fixedOffset, slotWidth(c));
            if (c.type == ColumnType::Text)
                putFixedText(slot, c, v.get<std::string>(), format, storedTextOf(i));
            else if (fixedWidth(c.type) != 0)
                putFixed(slot, c, v);
            else
                putFixedBinary(slot, c, v.get<core::Bytes>());
            continue;
        }
        const core::Bytes* asStored = storedTextOf(i);
        parts.push_back(
            {&c, asStored ? *asStored : variableBytes(c, v, format), isLongValue(c.type), false});
        // The reference's length field has 24 bits.
        if (parts.back().longValue && parts.back().bytes.size() > kMaxLongValueLength)
            throw core::ConstraintError("The value for field '" + c.name +
                                        "' is larger than a memo or OLE value can be.");
    }
    std::stable_sort(parts.begin(), parts.end(), [](const VariablePart& a, const VariablePart& b) {
        return a.column->varIndex < b.column->varIndex;
    });

    // Size with every memo and OLE value out of line: the least the row can take.
    std::size_t dataEnd = row.size();
    for (const auto& p : parts)
        dataEnd += p.longValue ? long_value::kReferenceSize : p.bytes.size();
    auto sizeWith = [&](std::size_t end) {
        return end + maskSize +
               (hasVariable ? trailerSize(end, variableCount, maskSize, format) : 0);
    };
    const std::size_t limit = maxRowSize(format);
    if (sizeWith(dataEnd) > limit) throwTooLarge();
    // Small long values go into the row while there is room, in variable-column order.
    for (auto& p : parts) {
        if (p.longValue && p.bytes.size() <= format.write.maxInlineLongValue &&
            sizeWith(dataEnd + p.bytes.size()) <= limit) {
            p.inlined = true;
            dataEnd += p.bytes.size();
        }
    }
    for (auto& p : parts) {
        if (!p.longValue) continue;
        if (p.inlined) {
            const auto length = static_cast<std::uint32_t>(p.bytes.size());
            core::Bytes ref = longValueReference(length, long_value::kInline, 0);
            ref.insert(ref.end(), p.bytes.begin(), p.bytes.end());
            p.bytes = std::move(ref);
        } else {
            core::Bytes ref = store.storeExternal(p.column->type, p.bytes);
            if (ref.size() != long_value::kReferenceSize)
                throw core::Error("A long-value store returned a reference of " +
                                  std::to_string(ref.size()) + " bytes instead of 12.");
            p.bytes = std::move(ref);
        }
    }

    if (hasVariable) {
        // Entry k of the offset table is where the column with varIndex k starts; indexes
        // no current column uses (deleted columns) take the next column's start.
        std::vector<std::uint16_t> offsets(variableCount + 1, 0);
        std::size_t next = 0;
        for (const auto& p : parts) {
            if (p.column->varIndex < next)
                throw core::Error("The columns of table '" + table.name +
                                  "' share a place in the variable area.");
            while (next <= p.column->varIndex)
                offsets[next++] = static_cast<std::uint16_t>(row.size());
            row.insert(row.end(), p.bytes.begin(), p.bytes.end());
        }
        while (next <= variableCount) offsets[next++] = static_cast<std::uint16_t>(row.size());
        appendOffsetTable(row, offsets, maskSize, format);
    }
    row.insert(row.end(), mask.begin(), mask.end());
    return row;
}

} // namespace jet
