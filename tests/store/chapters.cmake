# Chapter tree and progress statistics; question types, bank settings,
# syllabus and exam records.
add_project_test(NAME tst_chapters LABEL store
  SOURCES tst_chapters.cpp
  LIBS store)
add_project_test(NAME tst_settings_bank LABEL store
  SOURCES tst_settings_bank.cpp
  LIBS store)
