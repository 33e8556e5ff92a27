#pragma once
// The pages of the main window's page control, in page order: a page's value is its position,
// which the tab visibility rules count by.
#include <array>

namespace window {

enum class Page { Database, TableCreator, TableBrowser, QueryBuilder, ExecuteSql };

inline constexpr std::array<Page, 5> allPages{
    Page::Database, Page::TableCreator, Page::TableBrowser, Page::QueryBuilder, Page::ExecuteSql};

inline constexpr int pageIndex(Page page) {
    return static_cast<int>(page);
}

} // namespace window
