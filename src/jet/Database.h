#pragma once
// An open Jet 4 database file: its header, catalog and tables. The engine's entry point.
#include "jet/Table.h"
#include "jet/catalog/Catalog.h"
#include "jet/file/DatabaseHeader.h"
#include "jet/file/PageFile.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace jet {

class Database {
public:
    // Opens for reading. A file with a password opens only with that password; a file
    // without one opens whatever password is given.
    static std::unique_ptr<Database> open(const std::filesystem::path& path,
                                          const std::string& password = {});

    const std::filesystem::path& path() const { return path_; }
    const DatabaseHeader& header() const { return header_; }
    const Catalog& catalog() const { return catalog_; }
    const PageFile& pages() const { return *pages_; }

    // User tables and saved select queries (views), in catalog order.
    std::vector<std::string> tableNames() const;
    std::vector<std::string> viewNames() const;
    bool hasTable(std::string_view name) const { return catalog_.findTable(name) != nullptr; }
    // Throws core::SqlError naming the table when it does not exist.
    Table table(std::string_view name) const;

private:
    Database() = default;

    std::filesystem::path path_;
    std::unique_ptr<PageFile> pages_;
    DatabaseHeader header_;
    Catalog catalog_;
    mutable std::map<std::uint32_t, std::shared_ptr<const TableSchema>> schemas_;
};

} // namespace jet
