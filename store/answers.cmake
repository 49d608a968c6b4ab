# Answers, notes, favourites and the offline queue; exam draws and prediction papers.
target_sources(store PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SqliteClassAnswers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SqliteClassDraws.cpp)
