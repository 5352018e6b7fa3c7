# SQLite compiled into the program from its amalgamation (sqlite3.c and sqlite3.h in
# MEROVAN_SQLITE_AMALGAMATION), for builds without a system SQLite: the Windows build. The target
# has the name find_package(SQLite3) gives, so the rest of the build does not tell the two apart.
enable_language(C)
add_library(merovan_sqlite3 STATIC "${MEROVAN_SQLITE_AMALGAMATION}/sqlite3.c")
target_include_directories(merovan_sqlite3 SYSTEM PUBLIC "${MEROVAN_SQLITE_AMALGAMATION}")
target_compile_definitions(merovan_sqlite3 PRIVATE SQLITE_DQS=0 SQLITE_OMIT_LOAD_EXTENSION SQLITE_THREADSAFE=1)
set_target_properties(merovan_sqlite3 PROPERTIES AUTOMOC OFF)
# Third-party code: its own warnings are not ours to fix.
target_compile_options(merovan_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS merovan_sqlite3)
