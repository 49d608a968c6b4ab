# Answers, notes, favourites and the offline queue; exam draws and prediction papers.
add_project_test(NAME tst_answers LABEL store
  SOURCES tst_answers.cpp
  LIBS store)
add_project_test(NAME tst_draws LABEL store
  SOURCES tst_draws.cpp
  LIBS store)
