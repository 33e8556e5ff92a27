#include "WriteFixture.h"

#include "cli/Dump.h"
#include "core/Conversions.h"
#include "jet/check/IntegrityCheck.h"
#include "jet/file/Bytes.h"
#include "jet/file/UsageMap.h"
#include "jet/rows/DataPage.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace write_test {

jet::TableSchema everyTypeTable(const std::string& name) {
    using T = jet::ColumnType;
    jet::TableSchema t;
    t.name = name;
    t.columns = {column("ID", T::Long, 4, jet::column_flag::kAutoLong),
                 column("Name", T::Text, 100),
                 column("Born", T::DateTime),
                 column("Salary", T::Currency),
                 column("Notes", T::Memo),
                 column("Active", T::Boolean),
                 column("Score", T::Double),
                 column("Small", T::Integer),
                 column("Tiny", T::Byte),
                 column("Ratio", T::Single),
                 column("Key", T::Guid),
                 column("Amount", T::Numeric),
                 column("Blob", T::Ole),
                 column("Raw", T::Binary, 16)};
    t.columns[11].precision = 18;
    t.columns[11].scale = 4;
    return t;
}

std::vector<core::Value> everyTypeRow(int i) {
    core::Guid g;
    for (int b = 0; b < 16; ++b) g.bytes[b] = static_cast<std::uint8_t>(i * 7 + b);
    core::Bytes blob(static_cast<std::size_t>(i % 5) * 300, static_cast<std::uint8_t>(i));
    core::Bytes raw{static_cast<std::uint8_t>(i), 0, 0xFF};
    auto nullEvery = [&](int n, core::Value v) { return i % n == 0 ? core::Value() : v; };
    return {core::Value(),
            nullEvery(7, core::Value("Name " + std::to_string(i) + " \xC3\xA9t\xC3\xA9")),
            core::Value(core::DateTime{-700.25 + i * 1.5}),
            core::Value(core::Currency{static_cast<std::int64_t>(i) * 123457 - 50000}),
            nullEvery(5, core::Value(std::string(static_cast<std::size_t>(i % 11) * 150, 'm'))),
            core::Value(i % 3 == 0),
            nullEvery(4, core::Value(i / 7.0)),
            core::Value(static_cast<std::int16_t>(i - 1000)),
            core::Value(static_cast<std::uint8_t>(i % 256)),
            core::Value(static_cast<float>(i) / 4.0f),
            core::Value(g),
            core::Value(core::parseDecimal(std::to_string(i) + ".125", 4)),
            nullEvery(6, core::Value(blob)),
            core::Value(raw)};
}

std::vector<std::vector<core::Value>> readAll(const jet::Database& db, const std::string& table) {
    std::vector<std::vector<core::Value>> rows;
    auto t = db.table(table);
    auto cursor = t.scan();
    while (cursor.next()) {
        std::vector<core::Value> row;
        for (std::size_t i = 0; i < t.schema().columns.size(); ++i) row.push_back(cursor.value(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {
std::string access97Memo() {
    std::string text;
    for (int k = 0; text.size() < 5000; ++k) text += "Zeile " + std::to_string(k) + " Größe € ’\n";
    return text;
}
} // namespace

std::vector<std::string> access97DefinitionScript() {
    return {"create table People (Id counter primary key, Name text(40) not null, Born datetime, "
            "Score double, Small smallint, Tiny byte, Money currency, Flag yesno, Notes memo, "
            "Pic longbinary, Ref guid, Raw binary(20), Ratio real)",
            "create index ByName on People (Name desc, Born)",
            "insert into People (Name, Born, Score, Small, Tiny, Money, Flag, Notes, Ratio) "
            "values ('Zoë Ärger ’97', #1999-12-31#, 1.5, -3, 200, 12.3456, true, "
            "'kurz é', 2.5)",
            "insert into People (Name, Notes, Ref) values ('abc', '" + access97Memo() +
                "', '{6B29FC40-CA47-1067-B31D-00DD010662DA}')",
            "alter table People add column Extra text(10)",
            "alter table People alter column Small long",
            "alter table People drop column Tiny",
            "update People set Extra = 'neu €' where Name = 'abc'",
            "create table Child (Id counter primary key, PersonId long, Label text(5), "
            "constraint PeopleChild foreign key (PersonId) references People (Id))",
            "insert into Child (PersonId, Label) values (2, 'ü')",
            "create unique index ByLabel on Child (Label)",
            "drop index ByLabel on Child",
            "create view Scores as select Name, Score from People where Score > 1",
            "create view Labels as select Label from Child",
            "drop view Labels",
            "drop table Table3"};
}

std::vector<std::vector<core::Value>> access97ScriptPeople() {
    using core::Value;
    core::Guid ref;
    const std::uint8_t bytes[16] = {0x40, 0xFC, 0x29, 0x6B, 0x47, 0xCA, 0x67, 0x10,
                                    0xB3, 0x1D, 0x00, 0xDD, 0x01, 0x06, 0x62, 0xDA};
    std::copy(std::begin(bytes), std::end(bytes), ref.bytes.begin());
    // Id, Name, Born, Score, Small, Money, Flag, Notes, Pic, Ref, Raw, Ratio, Extra
    return {{Value(std::int32_t{1}), Value("Zoë Ärger ’97"), Value(core::DateTime{36525.0}),
             Value(1.5), Value(std::int32_t{-3}), Value(core::Currency{123456}), Value(true),
             Value("kurz é"), Value(), Value(), Value(), Value(2.5f), Value()},
            {Value(std::int32_t{2}), Value("abc"), Value(), Value(), Value(), Value(), Value(false),
             Value(access97Memo()), Value(), Value(ref), Value(), Value(), Value("neu €")}};
}

std::string dumpOf(const jet::Database& db) {
    std::stringstream out;
    cli::dumpDatabase(db, out);
    return out.str();
}

bool checkPasses(const jet::Database& db, std::string* problems) {
    auto report = jet::checkDatabase(db);
    if (problems)
        for (const auto& p : report.problems) *problems += p + "\n";
    return report.ok();
}

std::uint32_t makeGlobalUsageMapReference(const std::filesystem::path& file) {
    std::vector<std::uint32_t> free;
    std::uint32_t pages = 0;
    {
        auto db = jet::Database::open(file);
        pages = db->pages().pageCount();
        free = jet::readUsageMap(db->pages(), 1u << 8, jet::BeyondEnd::Ignore);
    }
    std::fstream raw(file, std::ios::in | std::ios::out | std::ios::binary);
    std::vector<std::uint8_t> page(jet::kPageSize);
    raw.seekg(jet::kPageSize);
    raw.read(reinterpret_cast<char*>(page.data()), jet::kPageSize);
    const jet::RowSlot slot = jet::rowSlot(page, 0);
    std::fill(page.begin() + slot.start, page.begin() + slot.end, 0);
    page[slot.start] = jet::usage_map::kReference;
    jet::put32(page, slot.start + 1u, pages);
    for (std::size_t at = slot.start + 5u; at + 4 <= slot.end; at += 4)
        jet::put32(page, at, 0xFFFFFF80u);
    raw.seekp(jet::kPageSize);
    raw.write(reinterpret_cast<const char*>(page.data()), jet::kPageSize);

    std::vector<std::uint8_t> map(jet::kPageSize, 0);
    map[0] = static_cast<std::uint8_t>(jet::PageType::UsageMap);
    map[1] = 0x01;
    auto mark = [&](std::uint32_t p) {
        map[jet::usage_map::kMapPageBitmapStart + p / 8] |=
            static_cast<std::uint8_t>(1u << (p % 8));
    };
    for (auto p : free)
        if (p < pages) mark(p);
    for (std::uint32_t p = pages + 1; p < jet::usage_map::kPagesPerMapPage; ++p) mark(p);
    raw.seekp(std::streamoff(pages) * jet::kPageSize);
    raw.write(reinterpret_cast<const char*>(map.data()), jet::kPageSize);
    return pages;
}

} // namespace write_test
