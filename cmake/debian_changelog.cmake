# Writes CHANGELOG.md as a Debian changelog, gzipped the way Debian wants it (-n -9: no name
# or time stamp, so the same sources give the same bytes), for the packages' docdir.
# cmake -DSOURCE=CHANGELOG.md -DOUTPUT=changelog.gz -DPACKAGE=name -DMAINTAINER="N <a>"
#       -DGZIP=/bin/gzip -P debian_changelog.cmake
# A heading "## VERSION (YYYY-MM-DD)" opens an entry, "- " an item, two spaces go on with it;
# other lines (the file's own introduction) are not part of any entry.

# "Tue, 08 Dec 2026 00:00:00 +0000" for YYYY-MM-DD: the weekday by Sakamoto's rule, since
# CMake formats only the current time.
function(vex_changelog_date iso out)
  string(REGEX MATCH "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$" matched "${iso}")
  if(NOT matched)
    message(FATAL_ERROR "${SOURCE}: \"${iso}\" is not a date of the form YYYY-MM-DD")
  endif()
  math(EXPR year "${CMAKE_MATCH_1}")
  math(EXPR month "${CMAKE_MATCH_2}")
  math(EXPR day "${CMAKE_MATCH_3}")
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR index "${month} - 1")
  list(GET offsets ${index} offset)
  if(month LESS 3)
    math(EXPR year "${year} - 1")
  endif()
  math(EXPR weekday "(${year} + ${year} / 4 - ${year} / 100 + ${year} / 400 + ${offset} + ${day}) % 7")
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET weekdays ${weekday} weekdayName)
  list(GET months ${index} monthName)
  set(${out} "${weekdayName}, ${CMAKE_MATCH_3} ${monthName} ${CMAKE_MATCH_1} 00:00:00 +0000"
      PARENT_SCOPE)
endfunction()

file(STRINGS "${SOURCE}" lines)
set(text "")
set(trailer "")
foreach(line IN LISTS lines)
  if(line MATCHES "^## ([^ ]+) \\((.*)\\)$")
    set(version "${CMAKE_MATCH_1}")
    vex_changelog_date("${CMAKE_MATCH_2}" date)
    string(APPEND text "${trailer}${PACKAGE} (${version}) unstable; urgency=medium\n\n")
    set(trailer "\n -- ${MAINTAINER}  ${date}\n\n")
  elseif(trailer AND line MATCHES "^- (.*)$")
    string(APPEND text "  * ${CMAKE_MATCH_1}\n")
  elseif(trailer AND line MATCHES "^  (.*)$")
    string(APPEND text "    ${CMAKE_MATCH_1}\n")
  elseif(trailer AND NOT line STREQUAL "")
    message(FATAL_ERROR "${SOURCE}: \"${line}\" is neither an item nor its continuation")
  endif()
endforeach()
if(NOT trailer)
  message(FATAL_ERROR "${SOURCE} has no entry \"## VERSION (YYYY-MM-DD)\"")
endif()
string(REGEX REPLACE "\n\n$" "\n" trailer "${trailer}")
file(WRITE "${OUTPUT}.txt" "${text}${trailer}")
execute_process(COMMAND "${GZIP}" -n -9 -c "${OUTPUT}.txt" OUTPUT_FILE "${OUTPUT}"
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${GZIP} could not compress ${OUTPUT}.txt")
endif()
