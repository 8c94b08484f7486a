# Makes the sample database that is installed: the tables as the build wrote them, with their
# index files built by the program itself, so that an installed copy in a folder nobody may
# write to never needs to re-index.
#
#   cmake -DZEL=<zel> -DSOURCE=<sample database> -DTARGET=<folder> -P PrepareSample.cmake
file(REMOVE_RECURSE ${TARGET})
file(MAKE_DIRECTORY ${TARGET})
file(GLOB tables ${SOURCE}/*.DB ${SOURCE}/*.MB)
file(COPY ${tables} DESTINATION ${TARGET})

set(ENV{QT_QPA_PLATFORM} offscreen)
function(index_once)
  execute_process(COMMAND ${ZEL} --headless --data ${TARGET}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "Indexes: rebuilt")
    message(FATAL_ERROR "indexing the sample failed (${rc}):\n${out}${err}")
  endif()
endfunction()

# The first run also writes the placeholder into empty commercial names. Index files record
# their table's modification time to the nanosecond, which an archive keeps only to the
# second: so the tables get a whole-second time and the indexes are built once more over them.
index_once()
string(TIMESTAMP now "%s" UTC)
file(GLOB tables ${TARGET}/*.DB ${TARGET}/*.MB)
file(GLOB indexes ${TARGET}/*.zix)
execute_process(COMMAND touch -d @${now} ${tables} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot set the sample's file times")
endif()
file(REMOVE ${indexes})
index_once()
