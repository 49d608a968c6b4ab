# add_project_test(... LABEL engine ...) for the codec and cipher primitives.
