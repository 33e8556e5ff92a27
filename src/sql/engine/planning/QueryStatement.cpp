// SELECT, streaming its rows into a result set, and SELECT ... INTO, which makes a table of
// them.
#include "sql/engine/EngineErrors.h"
#include "sql/engine/planning/PreparedStatement.h"
#include "sql/engine/planning/QueryCompiler.h"
#include "sql/engine/storage/ColumnValues.h"
#include "sql/engine/storage/Storage.h"
#include "sql/engine/storage/TableWriter.h"

namespace sql {

namespace {

// The rows of a running plan, cut to the result's columns.
class PlanStream : public RowStream {
public:
    PlanStream(std::unique_ptr<Runtime> rt, OperatorPtr root, std::size_t width)
        : rt_(std::move(rt)), root_(std::move(root)), width_(width) {
        root_->open(*rt_, nullptr);
    }
    bool next(ResultRow& row) override {
        if (!root_->next(row)) return false;
        row.values.resize(width_);
        return true;
    }

private:
    std::unique_ptr<Runtime> rt_;
    OperatorPtr root_;
    std::size_t width_;
};

class SelectStatement : public PreparedStatement {
public:
    explicit SelectStatement(CompiledQuery query) : query_(std::move(query)) {}
    bool changesData() const override { return false; }
    const CompiledQuery* query() const override { return &query_; }
    ResultSet run(std::unique_ptr<Runtime> rt) override {
        const std::size_t width = query_.columns.size();
        auto stream = std::make_unique<PlanStream>(std::move(rt), std::move(query_.root), width);
        return ResultSet(std::move(query_.columns), std::move(query_.baseTables),
                         std::move(stream));
    }

private:
    CompiledQuery query_;
};

// The new table's column for a result column: a plain column keeps its definition (but not
// its counter or rules), an expression gets the type of its values.
ColumnDefinition intoColumn(const ResultColumn& c) {
    ColumnDefinition layout;
    layout.column.name = c.name;
    layout.column.type = c.columnType;
    layout.column.size = c.size;
    layout.column.precision = c.precision;
    layout.column.scale = c.scale;
    if (c.columnType == jet::ColumnType::Text &&
        (layout.column.size == 0 || layout.column.size > 255))
        layout.column.size = 255;
    if (c.baseColumn.empty() && c.columnType != jet::ColumnType::Text)
        layout.column.size = fixedSize(c.columnType);
    return layout;
}

class SelectIntoStatement : public PreparedStatement {
public:
    SelectIntoStatement(CompiledQuery query, std::string table)
        : query_(std::move(query)), table_(std::move(table)) {}
    ResultSet run(std::unique_ptr<Runtime> rt) override {
        Storage& storage = rt->storage;
        if (storage.tableInfo(table_) || storage.viewText(table_))
            throw core::SqlError(messages::tableExists(table_));
        TableDefinition layout;
        layout.name = table_;
        for (const auto& c : query_.columns) {
            for (const auto& existing : layout.columns)
                if (sameName(existing.column.name, c.name))
                    throw core::SqlError(messages::duplicateDestination(c.name));
            layout.columns.push_back(intoColumn(c));
        }
        // The query was bound before the table existed, so it cannot read its own output
        // and rows can go in as they come.
        storage.createTable(layout);
        auto info = storage.tableInfo(table_);
        TableWriter writer(storage, *rt, *info);
        query_.root->open(*rt, nullptr);
        std::int64_t count = 0;
        ResultRow row;
        std::vector<std::optional<core::Value>> given(query_.columns.size());
        while (query_.root->next(row)) {
            for (std::size_t i = 0; i < given.size(); ++i) given[i] = std::move(row.values[i]);
            writer.insert(given);
            ++count;
        }
        return ResultSet(count);
    }

private:
    CompiledQuery query_;
    std::string table_;
};

} // namespace

std::unique_ptr<PreparedStatement> prepareQuery(CompileContext& context, const SelectQuery& query,
                                                std::string_view text) {
    CompiledQuery compiled = compileQuery(context, query, text, nullptr);
    if (!query.into.empty())
        return std::make_unique<SelectIntoStatement>(std::move(compiled), query.into);
    return std::make_unique<SelectStatement>(std::move(compiled));
}

std::unique_ptr<PreparedStatement>
prepareStatement(CompileContext& context, const Statement& statement, std::string_view text) {
    if (const auto* q = statement.as<SelectQuery>()) return prepareQuery(context, *q, text);
    if (const auto* i = statement.as<Insert>()) return prepareInsert(context, *i, text);
    if (const auto* u = statement.as<Update>()) return prepareUpdate(context, *u, text);
    if (const auto* d = statement.as<Delete>()) return prepareDelete(context, *d, text);
    return prepareDefinition(context, statement, text);
}

} // namespace sql
