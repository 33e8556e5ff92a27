target_sources(tablory_sql PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/BoundNodes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CrosstabCompiler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefinitionMapping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefinitionStatements.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExpressionBinder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FromPlanner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InsertPlanCache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InsertShape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModificationStatements.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParameterTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QueryCompiler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QueryStatement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Scope.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SubqueryNodes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TypeRules.cpp
)
