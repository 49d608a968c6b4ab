# Merge into a new bank, clean-up and clearing of records.
add_project_test(NAME tst_merge LABEL store
  SOURCES tst_merge.cpp
  LIBS store)
add_project_test(NAME tst_cleanup LABEL store
  SOURCES tst_cleanup.cpp
  LIBS store)
