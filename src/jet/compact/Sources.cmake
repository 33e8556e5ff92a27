target_sources(tablory_jet PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Compactor.cpp ${CMAKE_CURRENT_LIST_DIR}/ObjectIds.cpp)
