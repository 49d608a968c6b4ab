# target_sources(engine PRIVATE ...) for the SQL driver goes here.
