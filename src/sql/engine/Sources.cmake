target_sources(tablory_sql PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/EngineErrors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResultSet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResultText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Session.cpp
)
# The engine's parts: binding and planning, the operators that run plans, and the storage
# interface with its Jet and in-memory implementations.
foreach(part planning execution storage)
  include(${CMAKE_CURRENT_LIST_DIR}/${part}/Sources.cmake)
endforeach()
