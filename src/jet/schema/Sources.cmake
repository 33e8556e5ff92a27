target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ColumnType.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatColumns.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableDefinition.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableSchema.cpp
)
target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TableDefinitionWriter.cpp
)
