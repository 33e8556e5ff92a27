target_sources(tablory_jet PRIVATE ${CMAKE_CURRENT_LIST_DIR}/IntegrityCheck.cpp)
