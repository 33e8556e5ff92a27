// Relationships are written into both tables' definitions and MSysRelationships the way
// Access writes them, are refused when rows lack a parent or the key is not unique, and
// go away whole when dropped.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gtest/gtest.h>

using namespace write_test;

namespace {

void addIndex(jet::TableSchema& t, const char* name, jet::IndexKind kind, std::uint8_t flags,
              std::vector<jet::IndexColumn> columns) {
    jet::IndexData data;
    data.columns = std::move(columns);
    data.flags = flags;
    jet::IndexDef def;
    def.name = name;
    def.kind = kind;
    def.number = static_cast<std::uint32_t>(t.indexes.size());
    def.dataIndex = static_cast<std::uint32_t>(t.indexData.size());
    t.indexData.push_back(data);
    t.indexes.push_back(def);
}

jet::TableSchema parentTable() {
    jet::TableSchema t;
    t.name = "Parents";
    t.columns = {column("ID", jet::ColumnType::Long, 4), column("Name", jet::ColumnType::Text, 40)};
    addIndex(t, "PrimaryKey", jet::IndexKind::Primary, 0x89, {{0, true}});
    return t;
}

jet::TableSchema childTable(bool indexedForeignKey) {
    jet::TableSchema t;
    t.name = "Children";
    t.columns = {column("ID", jet::ColumnType::Long, 4),
                 column("ParentID", jet::ColumnType::Long, 4),
                 column("Note", jet::ColumnType::Text, 40)};
    addIndex(t, "PrimaryKey", jet::IndexKind::Primary, 0x89, {{0, true}});
    if (indexedForeignKey) addIndex(t, "ParentID", jet::IndexKind::Normal, 0x80, {{1, true}});
    return t;
}

core::Value id(int v) {
    return core::Value(std::int32_t{v});
}

std::unique_ptr<jet::Database> familyDatabase(const std::string& folder, bool indexedForeignKey,
                                              std::vector<core::Value> childParents) {
    auto path = testing_support::scratchDir(folder) / "family.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(parentTable());
    db->createTable(childTable(indexedForeignKey));
    for (int i = 1; i <= 3; ++i)
        db->insertRow("Parents", {id(i), core::Value("Parent " + std::to_string(i))});
    int n = 0;
    for (auto& parent : childParents) {
        ++n;
        db->insertRow("Children", {id(n), parent, core::Value("Child " + std::to_string(n))});
    }
    db->commit();
    return db;
}

jet::RelationshipDef parentsChildren() {
    jet::RelationshipDef rel;
    rel.name = "ParentsChildren";
    rel.table = "Children";
    rel.columns = {"ParentID"};
    rel.referencedTable = "Parents";
    rel.referencedColumns = {"ID"};
    rel.cascadeDeletes = true;
    return rel;
}

const jet::IndexDef* entryNamed(const jet::TableSchema& schema, const std::string& name) {
    for (const auto& d : schema.indexes)
        if (d.name == name) return &d;
    return nullptr;
}

const jet::IndexDef* entryNumbered(const jet::TableSchema& schema, std::int32_t number) {
    for (const auto& d : schema.indexes)
        if (static_cast<std::int32_t>(d.number) == number) return &d;
    return nullptr;
}

// What a relationship looks like in the two definitions, in terms that do not depend on
// page numbers or how many indexes the tables had before.
std::string shapeOf(const jet::Database& db, const std::string& child, const std::string& name) {
    const auto c = db.table(child);
    const jet::IndexDef* fk = entryNamed(c.schema(), name);
    if (!fk) return "no entry '" + name + "' in " + child;
    std::string parentName;
    for (const auto& t : db.tableNames())
        if (db.table(t).schema().definitionPage == fk->relatedTablePage) parentName = t;
    if (parentName.empty()) return "entry points at no table";
    const auto p = db.table(parentName);
    const jet::IndexDef* back = entryNumbered(p.schema(), fk->relatedIndexNumber);
    if (!back) return "no entry numbered " + std::to_string(fk->relatedIndexNumber);
    bool sharesKey = false;
    for (const auto& d : p.schema().indexes)
        if (d.kind == jet::IndexKind::Primary && d.dataIndex == back->dataIndex) sharesKey = true;
    const auto& childData = c.schema().indexData.at(fk->dataIndex);
    std::string s;
    s += "child kind " + std::to_string(int(fk->kind)) + " side " +
         std::to_string(fk->relatedTableType);
    s += "; child data flags " + std::to_string(childData.flags) + " over " +
         std::to_string(childData.columns.size());
    s += "; parent entry '" + back->name.substr(0, 2) + "?' kind " +
         std::to_string(int(back->kind)) + " side " + std::to_string(back->relatedTableType);
    s += "; parent shares its primary key " + std::to_string(sharesKey);
    s += "; points back " +
         std::to_string(back->relatedTablePage == c.schema().definitionPage &&
                        back->relatedIndexNumber == static_cast<std::int32_t>(fk->number));
    s += "; cascades " + std::to_string(fk->cascadeUpdates) + std::to_string(fk->cascadeDeletes) +
         " / " + std::to_string(back->cascadeUpdates) + std::to_string(back->cascadeDeletes);
    return s;
}

struct RelationshipRow {
    std::string object, column, referencedObject, referencedColumn;
    std::int32_t ccolumn = 0, icolumn = 0, grbit = 0;
};

std::vector<RelationshipRow> relationshipRows(const jet::Database& db, const std::string& name) {
    const auto t = db.table("MSysRelationships");
    const auto& columns = t.schema().columns;
    std::vector<RelationshipRow> out;
    auto cursor = t.scan();
    while (cursor.next()) {
        RelationshipRow r;
        std::string relationship;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const auto v = cursor.value(i);
            const auto* text = v.getIf<std::string>();
            const auto* number = v.getIf<std::int32_t>();
            const std::string& n = columns[i].name;
            if (n == "szRelationship" && text) relationship = *text;
            if (n == "szObject" && text) r.object = *text;
            if (n == "szColumn" && text) r.column = *text;
            if (n == "szReferencedObject" && text) r.referencedObject = *text;
            if (n == "szReferencedColumn" && text) r.referencedColumn = *text;
            if (n == "ccolumn" && number) r.ccolumn = *number;
            if (n == "icolumn" && number) r.icolumn = *number;
            if (n == "grbit" && number) r.grbit = *number;
        }
        if (relationship == name) out.push_back(r);
    }
    return out;
}

std::string indexNames(const jet::Database& db, const std::string& table) {
    std::string s;
    for (const auto& d : db.table(table).schema().indexes)
        s += d.name + "#" + std::to_string(d.number) + "/" + std::to_string(d.dataIndex) + " ";
    return s + "| physical " + std::to_string(db.table(table).schema().indexData.size());
}

} // namespace

TEST(Relationship, StoredInBothDefinitionsLikeAccessStoresThem) {
    REQUIRE_SAMPLES();
    auto db = familyDatabase("relationship-create", false, {id(1), id(2), core::Value(), id(2)});
    db->begin();
    db->createRelationship(parentsChildren());
    db->commit();
    auto path = db->path();
    db.reset();
    db = jet::Database::open(path);

    const auto& parent = db->table("Parents").schema();
    const auto& child = db->table("Children").schema();
    const jet::IndexDef* fk = entryNamed(child, "ParentsChildren");
    const jet::IndexDef* back = entryNamed(parent, ".rB");
    ASSERT_TRUE(fk);
    ASSERT_TRUE(back);
    EXPECT_EQ(fk->kind, jet::IndexKind::ForeignKey);
    EXPECT_EQ(fk->relatedTableType, 2);
    EXPECT_EQ(fk->relatedTablePage, parent.definitionPage);
    EXPECT_EQ(fk->relatedIndexNumber, static_cast<std::int32_t>(back->number));
    EXPECT_FALSE(fk->cascadeUpdates);
    EXPECT_TRUE(fk->cascadeDeletes);
    EXPECT_EQ(fk->number, 1u);
    ASSERT_EQ(child.indexData.size(), 2u);
    EXPECT_EQ(child.indexData[fk->dataIndex].flags, 0x80);
    ASSERT_EQ(child.indexData[fk->dataIndex].columns.size(), 1u);
    EXPECT_EQ(child.indexData[fk->dataIndex].columns[0].columnNumber, 1);

    EXPECT_EQ(back->kind, jet::IndexKind::ForeignKey);
    EXPECT_EQ(back->relatedTableType, 1);
    EXPECT_EQ(back->relatedTablePage, child.definitionPage);
    EXPECT_EQ(back->relatedIndexNumber, static_cast<std::int32_t>(fk->number));
    EXPECT_EQ(back->number, 1u);
    EXPECT_EQ(back->dataIndex, parent.indexes[0].dataIndex); // the primary key's
    EXPECT_EQ(parent.indexData.size(), 1u);
    EXPECT_FALSE(back->cascadeUpdates);
    EXPECT_TRUE(back->cascadeDeletes);

    auto rows = relationshipRows(*db, "ParentsChildren");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].object, "Children");
    EXPECT_EQ(rows[0].column, "ParentID");
    EXPECT_EQ(rows[0].referencedObject, "Parents");
    EXPECT_EQ(rows[0].referencedColumn, "ID");
    EXPECT_EQ(rows[0].ccolumn, 1);
    EXPECT_EQ(rows[0].icolumn, 0);
    EXPECT_EQ(rows[0].grbit, 0x1000);

    // The same shape as the relationship Access made in the sample with the same cascade.
    auto sample = jet::Database::open(testing_support::sample("indexes.mdb"));
    EXPECT_EQ(shapeOf(*db, "Children", "ParentsChildren"),
              shapeOf(*sample, "Table1", "Table2Table1"));
    auto sampleRows = relationshipRows(*sample, "Table2Table1");
    ASSERT_EQ(sampleRows.size(), 1u);
    EXPECT_EQ(sampleRows[0].grbit, rows[0].grbit);
    EXPECT_EQ(sampleRows[0].ccolumn, rows[0].ccolumn);
    EXPECT_EQ(sampleRows[0].icolumn, rows[0].icolumn);

    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
    EXPECT_TRUE(checkPasses(*sample, &problems)) << problems;
}

TEST(Relationship, CascadeUpdatesMatchesTheSample) {
    REQUIRE_SAMPLES();
    auto db = familyDatabase("relationship-cascade-updates", false, {id(3)});
    auto rel = parentsChildren();
    rel.cascadeDeletes = false;
    rel.cascadeUpdates = true;
    db->begin();
    db->createRelationship(rel);
    db->commit();
    auto sample = jet::Database::open(testing_support::sample("indexes.mdb"));
    EXPECT_EQ(shapeOf(*db, "Children", "ParentsChildren"),
              shapeOf(*sample, "Table1", "Table3Table1"));
    EXPECT_EQ(relationshipRows(*db, "ParentsChildren").at(0).grbit,
              relationshipRows(*sample, "Table3Table1").at(0).grbit);
}

TEST(Relationship, SharesAnExistingIndexOverTheSameColumns) {
    auto db = familyDatabase("relationship-shared", true, {id(1), id(1)});
    db->begin();
    db->createRelationship(parentsChildren());
    db->commit();
    const auto& child = db->table("Children").schema();
    const jet::IndexDef* fk = entryNamed(child, "ParentsChildren");
    ASSERT_TRUE(fk);
    EXPECT_EQ(child.indexData.size(), 2u);
    EXPECT_EQ(fk->dataIndex, entryNamed(child, "ParentID")->dataIndex);
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;

    db->begin();
    db->dropRelationship("Children", "ParentsChildren");
    db->commit();
    // The index the relationship borrowed stays, with its entries.
    EXPECT_EQ(indexNames(*db, "Children"), "PrimaryKey#0/0 ParentID#1/1 | physical 2");
    EXPECT_EQ(indexNames(*db, "Parents"), "PrimaryKey#0/0 | physical 1");
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

TEST(Relationship, RowsWithoutParentRefuseItAndChangeNothing) {
    auto db = familyDatabase("relationship-orphan", false, {id(1), core::Value(), id(99)});
    const std::string before = dumpOf(*db);
    const std::string childIndexes = indexNames(*db, "Children");
    const std::string parentIndexes = indexNames(*db, "Parents");
    const auto pages = db->pages().pageCount();
    db->begin();
    try {
        db->createRelationship(parentsChildren());
        FAIL() << "a child row without parent was accepted";
    } catch (const core::SqlError& e) {
        EXPECT_STREQ(e.what(), "You cannot add or change a record because a related record is "
                               "required in table 'Parents'.");
    }
    db->commit();
    EXPECT_EQ(dumpOf(*db), before);
    EXPECT_EQ(indexNames(*db, "Children"), childIndexes);
    EXPECT_EQ(indexNames(*db, "Parents"), parentIndexes);
    EXPECT_EQ(db->pages().pageCount(), pages);
    EXPECT_TRUE(relationshipRows(*db, "ParentsChildren").empty());
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

TEST(Relationship, ReferencedColumnsMustBeAKey) {
    auto db = familyDatabase("relationship-not-key", false, {id(1)});
    auto rel = parentsChildren();
    rel.columns = {"Note"};
    rel.referencedColumns = {"Name"};
    db->begin();
    EXPECT_THROW(db->createRelationship(rel), core::SqlError);
    rel.columns = {"Note"};
    rel.referencedColumns = {"ID"};
    EXPECT_THROW(db->createRelationship(rel), core::SqlError); // text against a number
    rel = parentsChildren();
    rel.columns = {"Missing"};
    EXPECT_THROW(db->createRelationship(rel), core::SqlError);
    db->commit();
    EXPECT_EQ(indexNames(*db, "Parents"), "PrimaryKey#0/0 | physical 1");
    EXPECT_EQ(indexNames(*db, "Children"), "PrimaryKey#0/0 | physical 1");
}

TEST(Relationship, DropRemovesBothEntriesAndTheRows) {
    auto db = familyDatabase("relationship-drop", false, {id(1), id(2)});
    db->begin();
    db->createRelationship(parentsChildren());
    db->commit();
    db->begin();
    EXPECT_THROW(db->createRelationship(parentsChildren()), core::SqlError);
    db->dropRelationship("Children", "ParentsChildren");
    EXPECT_THROW(db->dropRelationship("Children", "ParentsChildren"), core::SqlError);
    db->commit();
    auto path = db->path();
    db.reset();
    db = jet::Database::open(path);
    EXPECT_EQ(indexNames(*db, "Children"), "PrimaryKey#0/0 | physical 1");
    EXPECT_EQ(indexNames(*db, "Parents"), "PrimaryKey#0/0 | physical 1");
    EXPECT_TRUE(relationshipRows(*db, "ParentsChildren").empty());
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

TEST(Relationship, SecondRelationshipToTheSameParentGetsTheNextName) {
    auto db = familyDatabase("relationship-second", false, {id(1)});
    db->begin();
    db->createRelationship(parentsChildren());
    auto other = parentsChildren();
    other.name = "ChildrenToo";
    other.cascadeDeletes = false;
    db->createRelationship(other);
    db->commit();
    const auto& parent = db->table("Parents").schema();
    ASSERT_TRUE(entryNamed(parent, ".rC"));
    EXPECT_EQ(entryNamed(parent, ".rC")->relatedIndexNumber,
              static_cast<std::int32_t>(
                  entryNamed(db->table("Children").schema(), "ChildrenToo")->number));
    EXPECT_EQ(relationshipRows(*db, "ChildrenToo").at(0).grbit, 0);
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

TEST(Relationship, CheckFindsAnEntryPointingNowhere) {
    auto db = familyDatabase("relationship-dangling", false, {id(1)});
    jet::IndexData data;
    data.columns = {{1, true}};
    data.flags = 0x80;
    jet::IndexDef def;
    def.name = "Dangling";
    def.kind = jet::IndexKind::ForeignKey;
    def.relatedTableType = 2;
    def.relatedTablePage = db->table("Parents").schema().definitionPage;
    def.relatedIndexNumber = 7; // Parents has no such entry
    db->begin();
    db->createIndex("Children", data, def);
    db->commit();
    std::string problems;
    EXPECT_FALSE(checkPasses(*db, &problems));
    EXPECT_NE(problems.find("Dangling"), std::string::npos) << problems;
}
