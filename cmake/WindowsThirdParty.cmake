# The libraries of the Windows build, made from source with the cross compiler: SQLite from Debian's
# sqlite3 source package (fetched into the build folder by scripts/fetch-sqlite-source), GoogleTest
# from the sources that libgtest-dev ships, and the header-only CLI11 and nlohmann-json from a staged
# copy of their Debian headers, so that no other header of the build machine is on the include path.
enable_language(C)
set(third_party ${CMAKE_BINARY_DIR}/third-party)

set(sqlite_dir ${third_party}/sqlite)
if(NOT EXISTS ${sqlite_dir}/src/sqlite3.c)
  message(STATUS "Fetching Debian's sqlite3 source package into ${sqlite_dir}")
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-sqlite-source ${sqlite_dir}
                  RESULT_VARIABLE fetched)
  if(NOT fetched EQUAL 0)
    message(FATAL_ERROR "Could not fetch and unpack the sqlite3 source package")
  endif()
endif()
add_library(qinglan_sqlite3 STATIC ${sqlite_dir}/src/sqlite3.c)
target_include_directories(qinglan_sqlite3 SYSTEM PUBLIC ${sqlite_dir}/src)
# The amalgamation is half a million lines: -O1 keeps its compile time short and the queries fast.
target_compile_options(qinglan_sqlite3 PRIVATE -O1 -w)
target_compile_definitions(qinglan_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
add_library(SQLite::SQLite3 ALIAS qinglan_sqlite3)

set(staged_headers ${third_party}/include)
foreach(header_folder IN ITEMS CLI nlohmann)
  file(COPY /usr/include/${header_folder} DESTINATION ${staged_headers})
endforeach()
add_library(qinglan_staged_headers INTERFACE)
target_include_directories(qinglan_staged_headers SYSTEM INTERFACE ${staged_headers})
add_library(CLI11::CLI11 ALIAS qinglan_staged_headers)
add_library(nlohmann_json::nlohmann_json ALIAS qinglan_staged_headers)

if(QINGLAN_BUILD_TESTS)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${third_party}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # The web tests' local server: cpp-httplib over Winsock. Debian's header leaves the code to its shared
  # library, so the whole header comes from its source package, staged on its own for the tests only.
  set(httplib_dir ${third_party}/cpp-httplib)
  if(NOT EXISTS ${httplib_dir}/include/httplib.h)
    message(STATUS "Fetching Debian's cpp-httplib source package into ${httplib_dir}")
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source ${httplib_dir} cpp-httplib
                    RESULT_VARIABLE fetched)
    if(NOT fetched EQUAL 0 OR NOT EXISTS ${httplib_dir}/tree/httplib.h)
      message(FATAL_ERROR "Could not fetch and unpack the cpp-httplib source package")
    endif()
    file(COPY ${httplib_dir}/tree/httplib.h DESTINATION ${httplib_dir}/include)
  endif()
  add_library(qinglan_httplib INTERFACE)
  target_include_directories(qinglan_httplib SYSTEM INTERFACE ${httplib_dir}/include)
  target_link_libraries(qinglan_httplib INTERFACE ws2_32)
  add_library(PkgConfig::CPP_HTTPLIB ALIAS qinglan_httplib)
endif()
