#include "jet/rows/ValueDecoder.h"

#include "core/TextEncoding.h"
#include "jet/rows/LongValue.h"

namespace jet {

core::Decimal decodeNumeric(ByteSpan b) {
    requireRange(b, 0, 17, "a numeric value is cut short");
    core::Decimal d;
    d.negative = b[0] & 0x80;
    // Four little-endian words, most significant first; Jet uses only the low 96 bits.
    if (u32(b, 1) != 0) throwDamaged("a numeric value is larger than 28 digits");
    d.hi = u32(b, 5);
    d.mid = u32(b, 9);
    d.lo = u32(b, 13);
    return d;
}

core::Value decodeFixed(const ColumnDef& c, ByteSpan b) {
    switch (c.type) {
    case ColumnType::Byte:
        return core::Value(b[0]);
    case ColumnType::Integer:
        return core::Value(static_cast<std::int16_t>(u16(b, 0)));
    case ColumnType::Long:
        return core::Value(static_cast<std::int32_t>(u32(b, 0)));
    case ColumnType::Currency:
        return core::Value(core::Currency{static_cast<std::int64_t>(u64(b, 0))});
    case ColumnType::Single:
        return core::Value(f32(b, 0));
    case ColumnType::Double:
        return core::Value(f64(b, 0));
    case ColumnType::DateTime:
        return core::Value(core::DateTime{f64(b, 0)});
    case ColumnType::Guid: {
        core::Guid g;
        std::copy(b.begin(), b.begin() + 16, g.bytes.begin());
        return core::Value(g);
    }
    case ColumnType::Numeric: {
        core::Decimal d = decodeNumeric(b);
        d.scale = c.scale;
        return core::Value(d);
    }
    default:
        return core::Value(core::Bytes(b.begin(), b.end()));
    }
}

core::Value decodeColumn(const PageFile& file, const RowLayout& row, const ColumnDef& c) {
    if (c.type == ColumnType::Boolean) return core::Value(row.bit(c.number));
    if (c.isFixed()) {
        auto bytes = row.fixedBytes(c);
        if (!bytes) return core::Value();
        // Fixed-length text keeps its padding, as Access shows it.
        if (c.type == ColumnType::Text) return core::Value(file.format().decodeText(*bytes));
        return decodeFixed(c, *bytes);
    }
    auto bytes = row.variableBytes(c);
    if (!bytes) return core::Value();
    switch (c.type) {
    case ColumnType::Text:
        return core::Value(file.format().decodeText(*bytes));
    case ColumnType::Memo:
        return core::Value(file.format().decodeText(readLongValue(file, *bytes)));
    case ColumnType::Ole:
        return core::Value(readLongValue(file, *bytes));
    case ColumnType::Binary:
        return core::Value(core::Bytes(bytes->begin(), bytes->end()));
    default:
        // A fixed-size type stored in the variable area (seen after some schema changes).
        if (bytes->size() < fixedWidth(c.type)) throwDamaged("a value is shorter than its type");
        return decodeFixed(c, *bytes);
    }
}

std::optional<core::Bytes> storedTextBytes(const PageFile& file, const RowLayout& row,
                                           const ColumnDef& c) {
    if (c.type != ColumnType::Text && c.type != ColumnType::Memo) return std::nullopt;
    auto bytes = c.isFixed() ? row.fixedBytes(c) : row.variableBytes(c);
    if (!bytes) return std::nullopt;
    if (c.type == ColumnType::Memo) return readLongValue(file, *bytes);
    return core::Bytes(bytes->begin(), bytes->end());
}

} // namespace jet
