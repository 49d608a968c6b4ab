# The SQL driver and its row cache.
add_project_test(NAME tst_cachedresult LABEL engine SOURCES tst_cachedresult.cpp LIBS engine)
add_project_test(NAME tst_driver LABEL engine SOURCES tst_driver.cpp tst_driver_connection.h LIBS engine)
add_project_test(NAME tst_driver_threads LABEL engine SOURCES tst_driver_threads.cpp tst_driver_connection.h LIBS engine)
add_project_test(NAME tst_driver_cipher LABEL engine SOURCES tst_driver_cipher.cpp tst_driver_connection.h LIBS engine)
