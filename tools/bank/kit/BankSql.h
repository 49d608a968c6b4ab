#pragma once

#include <QString>

// The SQL compiled into this library: the bank's tables, and the standard
// fixture that test banks start from.
QString bankSchemaSql();
QString standardFixtureSql();
