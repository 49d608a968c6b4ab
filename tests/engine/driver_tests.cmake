# add_project_test(... LABEL engine ...) for the SQL driver and row cache.
