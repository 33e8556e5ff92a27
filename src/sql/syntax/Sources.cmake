target_sources(tablory_sql PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ColumnType.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DateLiteral.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefinitionGrammar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Expr.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExpressionGrammar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExprPrinter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Keyword.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Lexer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModificationGrammar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberLiteral.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParserCore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SelectGrammar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatementGrammar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatementPrinter.cpp
)
