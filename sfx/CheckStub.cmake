# SPDX-License-Identifier: MIT
# Checks the built stub: at most LIMIT bytes, and nowhere the four bytes of a
# ZIP local header signature ("PK\3\4"), which a listing would take for the
# archive's first member. A stub that fails is deleted, so the build fails
# and never leaves a bad ZIPSFX.BIN behind.
# Usage: cmake -DSTUB=<file> -DLIMIT=<bytes> -P CheckStub.cmake
cmake_minimum_required(VERSION 3.25)
file(SIZE "${STUB}" size)
if(size GREATER LIMIT)
  file(REMOVE "${STUB}")
  message(FATAL_ERROR "${STUB} is ${size} bytes, more than the limit of ${LIMIT}")
endif()

file(READ "${STUB}" hex HEX)
set(rest "${hex}")
set(offset 0)
while(TRUE)
  string(FIND "${rest}" "504b0304" pos)
  if(pos EQUAL -1)
    break()
  endif()
  math(EXPR at "${offset} + ${pos}")
  math(EXPR odd "${at} % 2")
  if(odd EQUAL 0)
    math(EXPR byte "${at} / 2")
    file(REMOVE "${STUB}")
    message(FATAL_ERROR "${STUB} holds the bytes PK\\3\\4 at offset ${byte}")
  endif()
  math(EXPR next "${pos} + 1")
  string(SUBSTRING "${rest}" ${next} -1 rest)
  math(EXPR offset "${offset} + ${next}")
endwhile()
message(STATUS "${STUB}: ${size} bytes, no local header signature")
