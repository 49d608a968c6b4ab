# Merge into a new bank, clean-up and clearing of records.
target_sources(store PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FieldInfo.h
  ${CMAKE_CURRENT_LIST_DIR}/TableInfo.h
  ${CMAKE_CURRENT_LIST_DIR}/SqliteClassMerge.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SqliteClassCleanup.cpp)
