# cmake -DCHANGELOG=<debian/changelog> -DVERSION=<x.y.z> -DDATE=<yyyy-mm-dd> -P check_changelog.cmake
# Fails unless the newest changelog entry is for VERSION and was signed off on DATE. The package
# build on another release than Debian 12 adds an entry for VERSION and the release's mark
# (+deb13, +debforky, +ubuntu24.04) of the same day.
file(READ ${CHANGELOG} text)
if(NOT text MATCHES "^vellora \\(([^)\n]+)\\) ")
  message(FATAL_ERROR "debian/changelog does not start with an entry for vellora")
endif()
set(entry_version ${CMAKE_MATCH_1})
string(REGEX REPLACE "\\+[a-z][a-z0-9.]*$" "" base_version "${entry_version}")
if(NOT base_version STREQUAL VERSION)
  message(FATAL_ERROR "debian/changelog is at ${entry_version}, the project at ${VERSION}")
endif()

# The entry's trailer line: " -- Name <address>  Tue, 08 Dec 2026 08:00:00 +0000".
if(NOT text MATCHES "\n -- [^\n]*  [A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9]+) ")
  message(FATAL_ERROR "debian/changelog: the newest entry has no trailer line with a date")
endif()
set(day ${CMAKE_MATCH_1})
set(year ${CMAKE_MATCH_3})
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1")
string(LENGTH "${day}" day_digits)
if(month LESS 10)
  set(month 0${month})
endif()
if(day_digits EQUAL 1)
  set(day 0${day})
endif()
if(NOT "${year}-${month}-${day}" STREQUAL DATE)
  message(FATAL_ERROR "debian/changelog dates ${VERSION} ${year}-${month}-${day}, the project ${DATE}")
endif()
