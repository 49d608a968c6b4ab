target_sources(engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SqliteCipherCachedResult.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SQLiteCipherResult.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SQLiteCipherDriver.cpp
)
