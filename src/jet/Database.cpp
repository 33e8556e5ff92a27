#include "jet/Database.h"

#include "core/Error.h"
#include "jet/schema/TableDefinition.h"

namespace jet {

std::unique_ptr<Database> Database::open(const std::filesystem::path& path,
                                         const std::string& password) {
    std::unique_ptr<Database> db(new Database());
    db->path_ = path;
    auto file = std::make_unique<OsFile>(path, OsFile::Mode::ReadOnly);
    db->pages_ = std::make_unique<PageFile>(std::move(file));
    if (db->pages_->pageCount() < 3)
        throw core::FormatError("Unrecognized database format '" + path.string() + "'.");
    db->header_ = DatabaseHeader::read(bytesOf(db->pages_->read(0)));
    if (!db->header_.password.empty() && db->header_.password != password)
        throw core::PasswordError();
    db->pages_->setEncodingKey(db->header_.encodingKey);
    db->catalog_ = Catalog::read(*db->pages_);
    return db;
}

std::vector<std::string> Database::tableNames() const {
    std::vector<std::string> names;
    for (const auto& e : catalog_.entries())
        if (e.isUserTable()) names.push_back(e.name);
    return names;
}

std::vector<std::string> Database::viewNames() const {
    std::vector<std::string> names;
    for (const auto& e : catalog_.entries())
        if (e.isView()) names.push_back(e.name);
    return names;
}

Table Database::table(std::string_view name) const {
    const CatalogEntry* entry = catalog_.findTable(name);
    if (!entry)
        throw core::SqlError("The Microsoft Jet database engine cannot find the input table or "
                             "query '" +
                             std::string(name) +
                             "'. Make sure it exists and that "
                             "its name is spelled correctly.");
    auto& schema = schemas_[entry->definitionPage()];
    if (!schema) {
        auto s = readTableDefinition(*pages_, entry->definitionPage());
        s.name = entry->name;
        schema = std::make_shared<const TableSchema>(std::move(s));
    }
    auto props = std::make_shared<const PropertyMaps>(parsePropertyMaps(entry->propertyBlob));
    return Table(*pages_, schema, std::move(props));
}

} // namespace jet
