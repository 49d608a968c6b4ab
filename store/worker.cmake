# The worker thread and its jobs.
target_sources(store PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DataToUiThreadClass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DataToUiThreadClass.h
)
