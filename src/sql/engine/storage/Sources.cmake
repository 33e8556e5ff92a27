target_sources(tablory_sql PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ColumnValues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JetStorage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MemoryStorage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SavedQueryRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Storage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableWriter.cpp
)
